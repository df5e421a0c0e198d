#pragma once

#include <string>
#include <string_view>

namespace morvane {

// "morvane-check: TEXT\n": how the command line says anything on standard
// error, so that a message can be told from the report and grepped for.
inline std::string diagnosticLine(std::string_view text) {
    return "morvane-check: " + std::string(text) + "\n";
}

// "morvane-check: WHERE: TEXT\n", WHERE being a file, or a file and line
// ("site.sim:12") as compilers point at one.
inline std::string diagnosticLine(std::string_view where, std::string_view text) {
    return diagnosticLine(std::string(where) + ": " + std::string(text));
}

} // namespace morvane
