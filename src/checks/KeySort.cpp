#include "checks/KeySort.h"

#include "run/RunData.h"
#include "run/RunError.h"

#include <utility>

namespace morvane {

void SHELLSORT(RunData& d) {
    auto& key = d.SortKey;
    auto& index = d.SortIndex;
    // Halves go to even (3.5 -> 4, 2.5 -> 2). The sort is not stable, so another
    // gap sequence would reorder equal keys, and with them the pairs that the
    // duplicate-name check reports.
    std::int32_t gap = roundHalfEven(d.PointCount / 2.0);
    do {
        std::int32_t limit = checkedAdd(d.PointCount, -gap);
        std::int32_t last;
        do {
            last = 0;
            for (std::int32_t i = 1; i <= limit; ++i) {
                if (key[i] > key[i + gap]) {
                    std::swap(key[i], key[i + gap]);
                    std::swap(index[i], index[i + gap]);
                    last = i;
                }
            }
            // The next pass stops short of the last exchange.
            limit = checkedAdd(last, -gap);
        } while (last != 0);
        gap = roundHalfEven(gap / 2.0);
    } while (gap >= 1);
}

} // namespace morvane
