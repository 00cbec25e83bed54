// The programs' command line: --version and --help, answered before any window opens.
#pragma once

#include <QString>

namespace qo {

// The release, as the build was configured (for example "1.0").
QString version();

struct ProgramInfo {
    QString name;    // as the user knows the program: "[qo] Kviz"
    QString command; // the executable's name
    QString summary; // one line on what the program does
};

// Answers --version (-v) and --help (-h) on standard output and returns the exit code;
// returns -1 when the program is to start. A windowed program ignores every other
// argument, so an unknown one never stops it.
int answerCommandLine(int argc, char** argv, const ProgramInfo& program);

} // namespace qo
