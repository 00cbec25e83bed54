// The authors' set tool: a readable text form of question sets, checks of set files,
// and the bridge to other quiz tools' formats.
#pragma once

#include "check.h"
#include "help.h"
#include "io.h"
#include "textform.h"

#include <QString>
#include <QStringList>

class QIODevice;
class QTextStream;

namespace dyr {

// Runs the tool on its arguments (without the program name); returns the exit status:
// 0 done (check: sound), 1 a faulty set or source, 2 usage or file errors. `in` is
// standard input, read where a command is given "-" for a file.
int run(const QStringList& args, QTextStream& out, QTextStream& err, QIODevice* in = nullptr);

// Whether the command draws pages (export pdf), which needs a QGuiApplication rather
// than a QCoreApplication.
bool drawsPages(const QStringList& args);

} // namespace dyr
