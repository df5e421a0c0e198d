#pragma once

#include "core/PointTable.h"
#include "support/RecordingUiSink.h"

#include <cstdint>
#include <filesystem>

namespace morvane::test {

// What runFile returns for a run that completes.
inline constexpr std::int32_t Completes = -1;

// A run of this file as the window makes it: an error stops it where it
// happens and hands the window back. Returns the number of the error that
// stopped the file's last unit, or Completes.
std::int32_t runFile(PointTable& table, RecordingUiSink& ui, const std::filesystem::path& file);

} // namespace morvane::test
