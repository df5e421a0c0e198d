#pragma once

#include "cli/CliOptions.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace morvane {

struct PointTable;
struct RunSummary;
class PlotPictureWriter;

// --plot-size "WxH": width and height in pixels, each 64 to 8000. Anything
// else is a UsageError.
std::pair<std::int32_t, std::int32_t> parsePlotSize(const std::string& text);

// The PNG file for each of options.files, in order; empty without --plot. A
// target that cannot serve (several files but no folder, two files that
// would write the same picture, a picture over an input or over a PDF of
// this command) is a UsageError.
std::vector<std::filesystem::path> plotTargets(const CliOptions& options);

// Writes the overview of the run to target; on failure says so on standard
// error after the file's name and returns false.
bool writePlot(PlotPictureWriter& writer, const PointTable& table, const RunSummary& run,
               const CliOptions& options, const std::filesystem::path& target,
               const std::string& file);

} // namespace morvane
