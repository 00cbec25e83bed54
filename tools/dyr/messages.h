// What dyr's commands say alike: how much was done, and that a file was not written.
#pragma once

#include <QString>

class QTextStream;

namespace dyr {

// "upisan 21 zapis", "upisana 3 zapisa", "upisano 5 zapisa".
QString recordsWritten(qint64 records);

// A number of questions after a participle in its three forms (see support::byCount):
// "uvezeno 1 pitanje", "uvezena 3 pitanja", "uvezeno 5 pitanja".
QString questionsDone(qint64 questions, const char* one, const char* few, const char* many);

// That nothing went to the target: dyr: datoteka "X" nije zapisana, or for standard
// output (-) "dyr: nista nije ispisano".
void reportNotWritten(const QString& target, QTextStream& err);

} // namespace dyr
