// A Windows GUI program starts without a console and, started from one, without
// standard handles: it attaches to its starter's console and writes there.
#include "console.h"

#include <windows.h>

#include <cstdio>

namespace qo {

namespace {

// Whether a standard handle leads somewhere: a console, a file or a pipe its starter
// gave it.
bool leadsSomewhere(DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

void reopenOnConsole(FILE* stream) {
    FILE* reopened = nullptr;
    if (freopen_s(&reopened, "CONOUT$", "w", stream) == 0)
        std::setvbuf(stream, nullptr, _IONBF, 0);
}

} // namespace

void useStartingConsole() {
    const bool output = leadsSomewhere(STD_OUTPUT_HANDLE);
    const bool error = leadsSomewhere(STD_ERROR_HANDLE);
    if (output && error)
        return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    if (!output)
        reopenOnConsole(stdout);
    if (!error)
        reopenOnConsole(stderr);
}

} // namespace qo
