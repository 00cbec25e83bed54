// What dyr's commands say alike, worded once.
#include "messages.h"

#include "support.h"

#include <QTextStream>

namespace dyr {

using support::byCount;
using support::counted;

QString recordsWritten(qint64 records) {
    return byCount(records, "upisan", "upisana", "upisano") + QLatin1Char(' ') +
           counted(records, "zapis", "zapisa", "zapisa");
}

QString questionsDone(qint64 questions, const char* one, const char* few, const char* many) {
    return byCount(questions, one, few, many) + QLatin1Char(' ') +
           counted(questions, "pitanje", "pitanja", "pitanja");
}

void reportNotWritten(const QString& target, QTextStream& err) {
    if (target == QLatin1String("-"))
        err << "dyr: nista nije ispisano\n";
    else
        err << "dyr: datoteka \"" << target << "\" nije zapisana\n";
}

} // namespace dyr
