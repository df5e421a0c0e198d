#include "core/PointTable.h"

#include <algorithm>
#include <cmath>

namespace morvane {

namespace {

constexpr std::size_t Slots = TableCapacity + 1;
// Enough for most files at once; a table this small is kept by clear().
constexpr std::size_t FirstSlots = 1024;

// Room for slot n, doubling so that a file of N points moves its slots
// log N times, never beyond the capacity.
std::size_t grownSize(std::size_t size, std::int32_t n) {
    const auto needed = static_cast<std::size_t>(std::clamp(n, 0, TableCapacity)) + 1;
    return std::clamp(std::max(needed, 2 * size), FirstSlots, Slots);
}

template <typename... Arrays> void resizeAll(std::size_t size, Arrays&... arrays) {
    (arrays.resize(size), ...);
}

} // namespace

PointTable::PointTable() {
    resizeAll(FirstSlots, numbers, names, xs, ys, lines, pointFiles, sortKeys, sortOrder);
}

void PointTable::makeRoomForPoint(std::int32_t n) {
    if (static_cast<std::size_t>(n) < xs.size())
        return;
    resizeAll(grownSize(xs.size(), n), numbers, names, xs, ys, lines, pointFiles, sortKeys,
              sortOrder);
}

void PointTable::clear() {
    if (xs.size() > FirstSlots) {
        // A large file's room goes back; a fresh small table is cheaper than
        // emptying it slot by slot.
        *this = PointTable();
        return;
    }
    const auto points = std::min(
        static_cast<std::size_t>(std::clamp(std::max(usedSlots, pointCount), 0, TableCapacity)),
        xs.size() - 1);
    for (std::size_t i = 1; i <= points; ++i) {
        numbers[i] = 0;
        xs[i] = 0;
        ys[i] = 0;
        lines[i] = 0;
        pointFiles[i] = 0;
        sortKeys[i] = 0;
        sortOrder[i] = 0;
    }
    names.clearSlots(points);
    std::vector<Finding>().swap(findings);
    jobFiles.clear();
    pointCount = 0;
    usedSlots = 0;
    nextReportLine = 0;
    reportFull = false;
}

std::int32_t roundHalfEven(double value) {
    // The default floating-point rounding mode is to nearest, ties to even.
    return static_cast<std::int32_t>(std::nearbyint(value));
}

} // namespace morvane
