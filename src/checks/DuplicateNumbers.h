#pragma once

#include "core/RunSummary.h"

namespace morvane {

struct PointTable;
class UiSink;

// Reports every pair of points that share a point number, in number order,
// the points of one number in file order: each with the next that has its
// number. Number 0, which an empty number field reads as, is no number and is
// never paired. Asks whether to stop after 1001 findings of its own.
CheckEnd checkDuplicateNumbers(PointTable& table, UiSink& ui);

} // namespace morvane
