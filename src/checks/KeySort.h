#pragma once

namespace morvane {

struct RunData;

// Orders sort positions 1..PointCount by ascending SortKey, carrying SortIndex
// along. Not stable: the order among equal keys follows from the gap sequence.
void SHELLSORT(RunData& d);

} // namespace morvane
