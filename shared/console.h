// The console of a windowed program: where its answers to --version and --help go.
#pragma once

namespace qo {

// Makes standard output and standard error reach the console the program was started
// from when they go nowhere yet, as in a Windows GUI program, which gets no console of
// its own. Output that already goes somewhere (a terminal, a file, a pipe) is left
// alone, and so is a program started without a console. Call it only before writing
// such an answer: attached, the program shares the console with its starter.
void useStartingConsole();

} // namespace qo
