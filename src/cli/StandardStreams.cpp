#include "cli/StandardStreams.h"

#ifdef _WIN32
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

namespace morvane {

#ifdef _WIN32

namespace {

UINT consoleCodePage = 0;

// The console is the user's, shared with the shell that started us.
void restoreConsoleCodePage() {
    SetConsoleOutputCP(consoleCodePage);
}

} // namespace

void writeStandardStreamsAsBytes() {
    // Text mode would write CR LF for every LF.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    DWORD mode = 0;
    const HANDLE console = GetStdHandle(STD_OUTPUT_HANDLE);
    const HANDLE errors = GetStdHandle(STD_ERROR_HANDLE);
    if (!GetConsoleMode(console, &mode) && !GetConsoleMode(errors, &mode))
        return;
    consoleCodePage = GetConsoleOutputCP();
    if (consoleCodePage != CP_UTF8 && SetConsoleOutputCP(CP_UTF8))
        std::atexit(restoreConsoleCodePage);
}

#else

void writeStandardStreamsAsBytes() {}

#endif

} // namespace morvane
