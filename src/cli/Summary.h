#pragma once

#include "core/RunSummary.h"

#include <string>

namespace morvane {

// The line morvane-check writes to standard error after a file's report:
// "FILE: ENCODING, [zone N, | local coordinates,] N points, N duplicate names[ (NFKC)], N
// coincident points, band LOWER ≤ d < TOLERANCE[, N duplicate numbers]", each count only for a
// check that was made, then what cut a check short, if anything.
std::string summaryLine(const RunSummary& summary);

} // namespace morvane
