#include "checks/KeySort.h"

#include "core/PointTable.h"
#include "core/SecondThread.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

namespace morvane {

namespace {

struct Entry {
    double key;
    double index;
};

bool byKey(const Entry& a, const Entry& b) {
    return a.key < b.key;
}

// From this many points on, and for chains this far apart, a phase's
// insertion runs on two threads, each taking half the chains.
constexpr std::int32_t TwoThreadsFrom = 50'000;
constexpr std::int32_t ChainsApart = 16;

// One gap phase. The exchange passes swap only strictly greater keys that
// stand `gap` apart and repeat until a pass swaps nothing: a bubble sort of
// every chain of positions equal modulo the gap, which leaves each chain
// stably sorted. Any stable sort of the chains gives that same result, so
// the order among equal keys comes out exactly as the passes would leave it.
//
// Insertion first, as it is stable and costs one move per inversion, which is
// little on the nearly sorted chains of most phases. Inputs whose inversions
// pile up (small and large keys interleaved) are handed to a merge sort, so no
// phase costs more than O(n log n). The insertion so far moved keys only past
// strictly greater ones, so the merge sort sees the same order among equals.
void sortChains(std::vector<Entry>& entries, std::int32_t count, std::int32_t gap) {
    // The positions whose place in their row of gap positions lies in
    // [from, to), that is the chains starting there; false when the budget
    // of moves ran out.
    const auto insert = [&](std::int32_t from, std::int32_t to, std::int64_t budget) {
        for (std::int32_t row = 1 + gap; row <= count; row += gap)
            for (std::int32_t p = row + from; p < row + to && p <= count; ++p) {
                const Entry e = entries[p];
                if (!(entries[p - gap].key > e.key))
                    continue;
                std::int32_t q = p;
                do {
                    entries[q] = entries[q - gap];
                    q -= gap;
                } while (q > gap && entries[q - gap].key > e.key && --budget > 0);
                entries[q] = e;
                if (budget <= 0)
                    return false;
            }
        return true;
    };
    const std::int64_t budget = 16 * static_cast<std::int64_t>(count) + 1024;
    bool done = false;
    if (count >= TwoThreadsFrom && gap >= ChainsApart) {
        // The chains apart, half of them on each thread: the rows' two halves
        // share only the cache line where they meet.
        bool secondDone = false;
        runBeside([&] { secondDone = insert(gap / 2, gap, budget / 2); },
                  [&] { done = insert(0, gap / 2, budget / 2); });
        done = done && secondDone;
    } else {
        done = insert(0, gap, budget);
    }
    if (done)
        return;

    std::vector<Entry> chain;
    chain.reserve(count / gap + 1);
    for (std::int32_t first = 1; first <= gap; ++first) {
        chain.clear();
        for (std::int32_t p = first; p <= count; p += gap)
            chain.push_back(entries[p]);
        std::stable_sort(chain.begin(), chain.end(), byKey);
        std::int32_t p = first;
        for (const Entry& e : chain) {
            entries[p] = e;
            p += gap;
        }
    }
}

} // namespace

void sortByKey(PointTable& table) {
    // Halves go to even (3.5 -> 4, 2.5 -> 2). The sort is not stable, so another
    // gap sequence would reorder equal keys, and with them the pairs that the
    // duplicate-name check reports.
    // Keys already in order (names as a survey numbers them, all of one X)
    // leave every chain in order: no phase moves anything. Not so with a NaN
    // among them, which no comparison puts in order.
    const std::int32_t count = table.pointCount;
    const auto inOrder = [&] {
        for (std::int32_t p = 1; p <= count; ++p)
            if (std::isnan(table.sortKeys[p]) ||
                (p > 1 && table.sortKeys[p - 1] > table.sortKeys[p]))
                return false;
        return true;
    };
    if (inOrder())
        return;
    // Each key beside its index while they move: one memory access for both.
    std::vector<Entry> entries(static_cast<std::size_t>(count) + 1);
    for (std::int32_t p = 1; p <= count; ++p)
        entries[p] = {table.sortKeys[p], table.sortOrder[p]};
    std::int32_t gap = roundHalfEven(count / 2.0);
    do {
        // With gap 0 a pass compares each key with itself: nothing moves.
        if (gap >= 1)
            sortChains(entries, count, gap);
        gap = roundHalfEven(gap / 2.0);
    } while (gap >= 1);
    for (std::int32_t p = 1; p <= count; ++p) {
        table.sortKeys[p] = entries[p].key;
        table.sortOrder[p] = entries[p].index;
    }
}

} // namespace morvane
