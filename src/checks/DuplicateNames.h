#pragma once

#include "core/RunSummary.h"

namespace morvane {

struct PointTable;
class UiSink;

// Reports every pair of points with the same (non-blank) name, walking the
// points in name-key order (sortByKey must have run). Asks whether to stop
// once the report passes 1001 findings.
CheckEnd checkDuplicateNames(PointTable& table, UiSink& ui);

} // namespace morvane
