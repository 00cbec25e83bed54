// Moodle XML, the learning platforms' own export format.
#include "formats.h"
#include "support.h"

namespace dyr {

Reading readMoodle(const QByteArray&) {
    Reading result;
    result.notes.append(support::error(0, QStringLiteral("Moodle XML is not read yet")));
    return result;
}

Writing writeMoodle(const QList<PlainQuestion>&) {
    Writing result;
    result.notes.append(support::error(0, QStringLiteral("Moodle XML is not written yet")));
    return result;
}

} // namespace dyr
