// On Unix-like systems a program's standard output and error are whatever its
// starter gave it, windowed or not: there is nothing to attach.
#include "console.h"

namespace qo {

void useStartingConsole() {}

} // namespace qo
