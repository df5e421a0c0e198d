#include "ui/WindowArguments.h"

namespace morvane {

const char* const WindowUsage =
    R"(Usage: morvane [FILE]

Opens the window that checks survey coordinate files ("A01" and "Z" records)
for points that share a name and for pairs of points that lie too close.
With FILE, the window checks that file at once with the band its fields open
with, as if FILE had been chosen after pressing Start.

Options:
  --help     show this help and exit
  --version  show the version and exit

The window needs a display; on a terminal, morvane-check FILE checks files
and prints the report.
)";

WindowArguments parseWindowArguments(const std::vector<std::string>& args) {
    WindowArguments a;
    bool optionsEnd = false;
    for (const std::string& arg : args) {
        if (!optionsEnd && arg == "--") {
            optionsEnd = true;
        } else if (!optionsEnd && (arg == "--help" || arg == "-h")) {
            a.help = true;
        } else if (!optionsEnd && arg == "--version") {
            a.version = true;
        } else if (!optionsEnd && arg.size() > 1 && arg[0] == '-') {
            if (a.error.empty())
                a.error = "unknown option " + arg;
        } else if (a.file) {
            if (a.error.empty())
                a.error = "one file at a time (morvane-check takes several)";
        } else {
            a.file = arg;
        }
    }
    return a;
}

bool displayAvailable(const char* display, const char* waylandDisplay, const char* qtPlatform,
                      const std::vector<std::string>& args) {
    const auto given = [](const char* value) { return value != nullptr && *value != '\0'; };
    if (given(display) || given(waylandDisplay) || given(qtPlatform))
        return true;
    for (const std::string& arg : args) {
        if (arg == "-platform" || arg == "--platform")
            return true;
    }
    return false;
}

} // namespace morvane
