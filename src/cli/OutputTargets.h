#pragma once

#include "cli/CliOptions.h"

#include <filesystem>
#include <vector>

namespace morvane {

// The PDF file for each of options.files, in order; empty without --pdf. A
// target that cannot serve (several files but no folder, two files that
// would write the same PDF, a PDF over its own input, over anything but a
// regular file) is a UsageError.
std::vector<std::filesystem::path> pdfTargets(const CliOptions& options);

// The PNG file for each of options.files, in order; empty without --plot. A
// target that cannot serve (several files but no folder, two files that
// would write the same picture, a picture over an input, over a PDF of
// this command or over anything but a regular file) is a UsageError.
std::vector<std::filesystem::path> plotTargets(const CliOptions& options);

} // namespace morvane
