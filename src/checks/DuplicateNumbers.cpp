#include "checks/DuplicateNumbers.h"

#include "checks/Distance.h"
#include "checks/Findings.h"
#include "core/PointTable.h"
#include "core/RunError.h"
#include "core/UiSink.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <vector>

namespace morvane {

namespace {

constexpr std::int32_t QuestionAfterLines = 3001;

// A number and a position in one word, so that ordering the words puts the
// points in number order and, within a number, in file order. The sign bit
// is flipped so that negative numbers come first, as they compare.
std::uint64_t numberThenPosition(std::int32_t number, std::int32_t position) {
    const std::uint32_t ordered = static_cast<std::uint32_t>(number) ^ 0x8000'0000u;
    return std::uint64_t{ordered} << 32 | static_cast<std::uint32_t>(position);
}

std::int32_t positionOf(std::uint64_t entry) {
    return static_cast<std::int32_t>(entry & 0xFFFF'FFFFu);
}

bool sameNumber(std::uint64_t a, std::uint64_t b) {
    return a >> 32 == b >> 32;
}

// Entries made in position order, sorted by number: a radix sort of the
// number's two halves, which keeps each number's points in position order.
// Most files number their points in order and skip the sort; shuffled
// numbers cost a few milliseconds, an eighth of what a comparison sort takes.
void sortByNumber(std::vector<std::uint64_t>& entries) {
    if (std::is_sorted(entries.begin(), entries.end()))
        return;
    constexpr std::size_t Buckets = 1 << 16;
    std::vector<std::uint64_t> sorted(entries.size());
    std::vector<std::size_t> starts(Buckets + 1);
    for (const int shift : {32, 48}) {
        const auto bucket = [shift](std::uint64_t entry) { return (entry >> shift) & 0xFFFF; };
        std::fill(starts.begin(), starts.end(), 0);
        for (const std::uint64_t entry : entries)
            ++starts[bucket(entry) + 1];
        std::partial_sum(starts.begin(), starts.end(), starts.begin());
        for (const std::uint64_t entry : entries)
            sorted[starts[bucket(entry)]++] = entry;
        entries.swap(sorted);
    }
}

} // namespace

CheckEnd checkDuplicateNumbers(PointTable& table, UiSink& ui) {
    std::vector<std::uint64_t> order;
    order.reserve(static_cast<std::size_t>(std::max(table.pointCount, 0)));
    for (std::int32_t p = 1; p <= table.pointCount; ++p)
        if (table.numbers[p] != 0)
            order.push_back(numberThenPosition(table.numbers[p], p));
    sortByNumber(order);

    CheckFindings findings(table, ui, FindingKind::DuplicateNumber,
                           checkedAdd(table.nextReportLine, QuestionAfterLines));
    for (std::size_t i = 1; i < order.size(); ++i) {
        if (!sameNumber(order[i - 1], order[i]))
            continue;
        const std::int32_t a = positionOf(order[i - 1]);
        const std::int32_t b = positionOf(order[i]);
        const double dist = distance(table.xs[a], table.ys[a], table.xs[b], table.ys[b]);
        if (const auto end = findings.add(a, b, dist))
            return *end;
    }
    return CheckEnd::Finished;
}

} // namespace morvane
