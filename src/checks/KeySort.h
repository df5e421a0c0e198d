#pragma once

namespace morvane {

struct PointTable;

// Orders sort positions 1..pointCount by ascending sortKeys, carrying sortOrder
// along. Not stable: the order among equal keys follows from the gap sequence.
void sortByKey(PointTable& table);

} // namespace morvane
