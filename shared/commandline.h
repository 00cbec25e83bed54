// The programs' command line: --version and --help, answered before any window opens,
// and the files named on it.
#pragma once

#include <QString>
#include <QStringList>

namespace qo {

// The release, as the build was configured (for example "1.0").
QString version();

struct ProgramInfo {
    QString name;    // as the user knows the program: "[qo] Kviz"
    QString command; // the executable's name
    QString summary; // one line on what the program does
    // The file the program takes, as the usage line shows it ("[set.dyr]"), and what it
    // does with it; both empty for a program that takes none.
    QString file = {};
    QString fileHelp = {};
};

// Answers --version (-v) and --help (-h) on standard output and returns the exit code;
// returns -1 when the program is to start. A windowed program ignores every other
// argument, so an unknown one never stops it.
int answerCommandLine(int argc, char** argv, const ProgramInfo& program);

// The files named on a command line (the program first, as QCoreApplication::arguments()
// gives it, which keeps every letter of a name on Windows too), options left out.
QStringList namedFiles(const QStringList& arguments);

} // namespace qo
