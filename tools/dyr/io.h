// What dyr reads and writes: its inputs and whole sets.
#pragma once

#include "filefault.h"
#include "questionrecord.h"
#include "wholefile.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class QIODevice;
class QTextStream;

namespace dyr {

// The whole records of a set file's bytes; bytes past the last whole record are
// left out.
QList<qo::QuestionRecord> recordsOf(const QByteArray& content);

// What the tool reads: a set or a text source, from a regular file on a disk, or
// from standard input (`in`) for "-", which may be a pipe. A folder, a FIFO or a
// device (also behind a link, or a name such as NUL on Windows) is refused unread
// and unwaited on, and no more than MaxInputBytes are read, so a pipe that never
// ends is refused rather than read until memory runs out. On failure fault says
// what went wrong, naming the file as path.
constexpr qint64 MaxInputBytes = qo::MaxWholeFileBytes;
std::optional<QByteArray> readInput(const QString& path, QIODevice* in, qo::FileFault* fault);
// The same, saying on err why a file can't be read.
std::optional<QByteArray> readOrReport(const QString& path, QIODevice* in, QTextStream& err);

// Writes records as the set file at path, replacing it as a whole and at once.
// On failure the file is left as it was and fault says why, naming the file as path.
bool writeSet(const QList<qo::QuestionRecord>& records, const QString& path, qo::FileFault* fault);
// The same for any file dyr writes.
bool writeFile(const QByteArray& bytes, const QString& path, qo::FileFault* fault);

// What went wrong with a file, as dyr says it on err: one line.
void reportFault(const qo::FileFault& fault, QTextStream& err);

} // namespace dyr
