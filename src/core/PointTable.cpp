#include "core/PointTable.h"

#include <algorithm>
#include <cmath>

namespace morvane {

namespace {
constexpr std::size_t Slots = TableCapacity + 1;
}

PointTable::PointTable()
    : numbers(Slots), names(Slots), xs(Slots), ys(Slots), lines(Slots), pointFiles(Slots),
      sortKeys(Slots), sortOrder(Slots), reportLines(Slots) {}

void PointTable::clear() {
    const auto points =
        static_cast<std::size_t>(std::clamp(std::max(usedSlots, pointCount), 0, TableCapacity));
    for (std::size_t i = 1; i <= points; ++i) {
        numbers[i] = 0;
        // Swap with an empty string, not clear(): a long name from an earlier
        // run should not keep its memory.
        std::u16string().swap(names[i]);
        xs[i] = 0;
        ys[i] = 0;
        lines[i] = 0;
        pointFiles[i] = 0;
        sortKeys[i] = 0;
        sortOrder[i] = 0;
    }
    const auto lines = static_cast<std::size_t>(std::clamp(nextReportLine, 0, TableCapacity));
    for (std::size_t i = 1; i <= lines; ++i)
        std::u16string().swap(reportLines[i]);
    std::vector<Finding>().swap(findings);
    jobFiles.clear();
    pointCount = 0;
    usedSlots = 0;
    nextReportLine = 0;
    reportFull = false;
}

std::span<const std::u16string> PointTable::writtenReportLines() const {
    const auto end = static_cast<std::size_t>(std::clamp(nextReportLine, 1, TableCapacity + 1));
    return std::span(reportLines).subspan(1, end - 1);
}

std::int32_t roundHalfEven(double value) {
    // The default floating-point rounding mode is to nearest, ties to even.
    return static_cast<std::int32_t>(std::nearbyint(value));
}

} // namespace morvane
