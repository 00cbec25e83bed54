// dyr's import and export commands: a set from and to the other tools' formats.
#pragma once

#include <QStringList>

#include <optional>

class QIODevice;
class QTextStream;

namespace dyr {

// Each takes the arguments after its command's name and returns the exit status, or
// nothing when the arguments don't fit the command (the caller shows the usage).
// `in` is standard input, read for a file named "-".
std::optional<int> runImport(const QStringList& args, QTextStream& out, QTextStream& err,
                             QIODevice* in);
std::optional<int> runExport(const QStringList& args, QTextStream& out, QTextStream& err,
                             QIODevice* in);

} // namespace dyr
