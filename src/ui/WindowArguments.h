#pragma once

#include <optional>
#include <string>
#include <vector>

namespace morvane {

// What the window program was asked for on its command line.
struct WindowArguments {
    bool help = false;
    bool version = false;
    // Checked as soon as the window shows, as if chosen in the file dialog.
    std::optional<std::string> file;
    // Empty when the arguments make sense.
    std::string error;
};

extern const char* const WindowUsage;

// Reads the arguments after the program's name. Qt's own options must be gone
// already (QApplication removes them), except when only help and version are
// looked for: then anything else is left for later.
WindowArguments parseWindowArguments(const std::vector<std::string>& args);

// True when Qt can open a window here: a display, or a platform named for
// Qt. Without one Qt aborts, which a user who started the program from a
// terminal should not see.
bool displayAvailable(const char* display, const char* waylandDisplay, const char* qtPlatform,
                      const std::vector<std::string>& args);

} // namespace morvane
