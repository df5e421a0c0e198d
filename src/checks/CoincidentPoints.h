#pragma once

#include "core/RunSummary.h"

namespace morvane {

struct PointTable;
class UiSink;

// Sorts the points by X (keys X * 1000) and reports every pair whose distance
// d, rounded to the millimetre as the report shows it, satisfies
// lower <= d < tolerance (see DistanceBand), the first point of a pair being
// the one that comes first in X order. Points at exactly (0, 0) carry no coordinates
// and take part in no pair. Asks whether to stop after 1001 findings of its own.
CheckEnd checkCoincidentPoints(PointTable& table, UiSink& ui);

} // namespace morvane
