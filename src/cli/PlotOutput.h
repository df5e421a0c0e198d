#pragma once

#include "cli/CliOptions.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace morvane {

// --plot-size "WxH": width and height in pixels, each 64 to 8000. Anything
// else is a UsageError.
std::pair<std::int32_t, std::int32_t> parsePlotSize(const std::string& text);

// The PNG file for each of options.files, in order; empty without --plot. A
// target that cannot serve (several files but no folder, two files that
// would write the same picture, a picture over an input or over a PDF of
// this command) is a UsageError.
std::vector<std::filesystem::path> plotTargets(const CliOptions& options);

} // namespace morvane
