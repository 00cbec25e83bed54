// The authors' set tool: a readable text form of question sets, and checks of set files.
#pragma once

#include "questionrecord.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QIODevice;
class QTextStream;

namespace dyr {

// A fault in a text source, at a line counted from 1.
struct SourceError {
    int line = 0;
    QString message;
    bool operator==(const SourceError&) const = default;
};

struct Parsed {
    QList<qo::QuestionRecord> records; // only meaningful when errors is empty
    QList<SourceError> errors;
};

// Reads a set's text form (UTF-8).
Parsed parse(const QByteArray& source);

// The text form of records; parse gives back exactly the same records.
QString format(const QList<qo::QuestionRecord>& records);

// What is wrong with a set file's bytes, one line per problem; empty when sound.
QStringList check(const QByteArray& content);

// What the tool reads: a set file, which must be a regular file, or a text source,
// which may also come through a pipe ("-" is standard input, `in`). Either is read
// to at most MaxInputBytes, so a device or a pipe that never ends is refused rather
// than read until memory runs out. On failure error says why.
enum class InputKind { SetFile, Text };
constexpr qint64 MaxInputBytes = 64 * 1024 * 1024;
std::optional<QByteArray> readInput(const QString& path, QIODevice* in, InputKind kind,
                                    QString* error);

// Writes records as the set file at path, replacing it as a whole and at once.
// On failure the file is left as it was and a reason is given.
bool writeSet(const QList<qo::QuestionRecord>& records, const QString& path, QString* error);

// The usage and format description printed by --help.
QString helpText();

// Runs the tool on its arguments (without the program name); returns the exit status:
// 0 done (check: sound), 1 a faulty set or source, 2 usage or file errors. `in` is
// standard input, read where a command is given "-" for a file.
int run(const QStringList& args, QTextStream& out, QTextStream& err, QIODevice* in = nullptr);

} // namespace dyr
