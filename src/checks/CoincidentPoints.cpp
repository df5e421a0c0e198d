#include "checks/CoincidentPoints.h"

#include "checks/Distance.h"
#include "checks/Findings.h"
#include "checks/KeySort.h"
#include "checks/PointGrid.h"
#include "core/LeadingNumber.h"
#include "core/PointTable.h"
#include "core/RunError.h"
#include "core/UiSink.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace morvane {

namespace {

constexpr std::int32_t QuestionAfterLines = 3001;

// Walking a window costs a few nanoseconds a point, building the grid about
// as much as walking 150 points a point. So the grid is built only when the
// windows hold more than GridWorthIt points on average (many points sharing
// nearly one X); then each window's first PlainWindow points are still
// walked, and the rest searched through the grid.
constexpr std::int64_t GridWorthIt = 100;
constexpr std::int32_t PlainWindow = 8;
// The grid holds the points from the first window longer than this to the
// end of the last: a dense spot in a table of ordinary windows costs a grid
// of the spot, not of the table. A window it does not hold whole is walked.
constexpr std::int32_t LongWindow = 128;

bool atOrigin(double x, double y) {
    return x == 0 && y == 0;
}

void sortByX(PointTable& table) {
    for (std::int32_t n = 1; n <= table.pointCount; ++n) {
        table.sortKeys[n] = table.xs[n] * 1000;
        if (std::isinf(table.sortKeys[n]))
            throw runError(ErrorNumber::Overflow);
        table.sortOrder[n] = n;
    }
    sortByKey(table);
}

// Where the X window of a point ends: the first sort position, from a given
// one on, whose X is not within the window's width of the point's X. Equal
// keys can hold X values out of order, so this looks for the first position
// that fails the test rather than bisecting on X. The minimum and maximum X
// of every power-of-two run of blocks tell whether a run holds such a
// position: the positions failing the test are those with X at or below one
// bound or at or above another.
class WindowEnds {
public:
    WindowEnds(const std::vector<double>& xs, std::int32_t count)
        : m_xs(xs), m_count(count), m_blocks((count + BlockSize - 1) / BlockSize) {
        std::vector<double> low(m_blocks), high(m_blocks);
        for (std::int32_t b = 0; b < m_blocks; ++b) {
            const std::int32_t first = b * BlockSize + 1;
            const std::int32_t last = std::min(count, first + BlockSize - 1);
            const auto [lo, hi] = std::minmax_element(xs.begin() + first, xs.begin() + last + 1);
            low[b] = *lo;
            high[b] = *hi;
        }
        m_low.push_back(std::move(low));
        m_high.push_back(std::move(high));
        for (std::int32_t span = 1; 2 * span <= m_blocks; span *= 2) {
            const auto& lowBelow = m_low.back();
            const auto& highBelow = m_high.back();
            std::vector<double> lowUp(m_blocks - 2 * span + 1), highUp(lowUp.size());
            for (std::size_t b = 0; b < lowUp.size(); ++b) {
                lowUp[b] = std::min(lowBelow[b], lowBelow[b + span]);
                highUp[b] = std::max(highBelow[b], highBelow[b + span]);
            }
            m_low.push_back(std::move(lowUp));
            m_high.push_back(std::move(highUp));
        }
    }

    std::int32_t firstOutside(double x, double width, std::int32_t from) const {
        const auto outside = [&](double other) { return !(width > std::fabs(x - other)); };
        std::int32_t block = (from - 1) / BlockSize;
        for (std::int32_t p = from; p <= std::min(m_count, (block + 1) * BlockSize); ++p)
            if (outside(m_xs[p]))
                return p;
        ++block;
        for (auto level = static_cast<std::int32_t>(m_low.size()) - 1; level >= 0; --level) {
            const std::int32_t span = 1 << level;
            if (block + span <= m_blocks && !outside(m_low[level][block]) &&
                !outside(m_high[level][block]))
                block += span;
        }
        for (std::int32_t p = block * BlockSize + 1; p <= m_count; ++p)
            if (outside(m_xs[p]))
                return p;
        return m_count + 1;
    }

private:
    static constexpr std::int32_t BlockSize = 64;
    const std::vector<double>& m_xs;
    std::int32_t m_count;
    std::int32_t m_blocks;
    std::vector<std::vector<double>> m_low, m_high; // by level, then first block
};

struct Pair {
    std::int32_t second; // sort position
    double dist;
};

} // namespace

CheckEnd checkCoincidentPoints(PointTable& table, UiSink& ui) {
    sortByX(table);
    CheckFindings findings(table, ui, FindingKind::CoincidentPoint,
                           checkedAdd(table.nextReportLine, QuestionAfterLines));
    if (table.reportFull)
        return CheckEnd::ReportFull;

    // Read once: nothing can change the fields while the run works.
    const double tolerance = fieldNumber(ui.toleranceText());
    const DistanceBand band(fieldNumber(ui.lowerBoundText()), tolerance);
    if (band.empty())
        return CheckEnd::Finished;
    const double width = 2 * band.reach();
    // A pair whose Y values lie a reach apart is out of the band: passed
    // over without its square root, as most pairs of a window are.
    const double reach = band.reach();

    // The coordinates in X order, so the walk reads memory in sequence.
    const std::int32_t count = table.pointCount;
    std::vector<double> xs(static_cast<std::size_t>(count) + 1), ys(xs.size());
    for (std::int32_t p = 1; p <= count; ++p) {
        const std::int32_t a = roundHalfEven(table.sortOrder[p]);
        xs[p] = table.xs[a];
        ys[p] = table.ys[a];
    }

    // The windows' lengths as if X were in order (it is, but for nearly
    // equal X values in a run of equal keys): enough to weigh the two ways.
    std::int64_t walk = 0;
    std::int32_t gridFirst = count + 1;
    std::int32_t gridLast = 0;
    for (std::int32_t i = 1, end = 1; i <= count; ++i) {
        end = std::max(end, i + 1);
        while (end <= count && xs[end] - xs[i] < width)
            ++end;
        walk += end - i - 1;
        if (end - i - 1 > LongWindow) {
            gridFirst = std::min(gridFirst, i);
            gridLast = end - 1;
        }
    }
    // A pair in the band differs by less than its reach in X and in Y; the
    // reach is at least half a millimetre, so a square that underflows is
    // covered too.
    std::optional<WindowEnds> ends;
    std::optional<PointGrid> grid;
    if (walk > GridWorthIt * count) {
        ends.emplace(xs, count);
        grid.emplace(xs, ys, table.sortKeys, gridFirst, gridLast, band.reach());
    }

    // How far ahead of the search the grid's tables are asked for: about
    // the searches that take as long as memory takes to answer.
    constexpr std::int32_t CellsAhead = 16;
    constexpr std::int32_t SitesAhead = 8;
    std::vector<Pair> pairs;
    // The last window end found through the grid, its X and its start.
    std::int32_t end = 0;
    double endX = 0;
    std::int32_t endFrom = 0;
    for (std::int32_t i = 1; i <= count; ++i) {
        const bool inGrid = grid && i >= gridFirst && i <= gridLast;
        if (inGrid) {
            if (i + CellsAhead <= gridLast)
                grid->prefetchCell(i + CellsAhead);
            if (i + SitesAhead <= gridLast)
                grid->prefetchSites(i + SitesAhead);
        }
        const double xa = xs[i];
        const double ya = ys[i];
        if (atOrigin(xa, ya))
            continue;
        pairs.clear();
        // Every pair in the band is within its reach in X too, so the window
        // of following points in X order misses none.
        const std::int32_t plainEnd = inGrid ? std::min(count, i + PlainWindow) : count;
        const auto consider = [&](std::int32_t j) {
            if (!(std::fabs(ya - ys[j]) < reach) || atOrigin(xs[j], ys[j]))
                return;
            const double dist = distance(xa, ya, xs[j], ys[j]);
            if (band.contains(dist))
                pairs.push_back({j, dist});
        };
        std::int32_t j = i + 1;
        for (; j <= plainEnd && width > std::fabs(xa - xs[j]); ++j)
            consider(j);
        if (j > plainEnd && j <= count && width > std::fabs(xa - xs[j])) {
            // Points of one X share a window end: the first position outside
            // from an earlier start is the first from any start up to it.
            if (!(xa == endX && endFrom <= j && j <= end))
                end = ends->firstOutside(xa, width, j);
            endX = xa;
            endFrom = j;
            if (end - 1 > gridLast) {
                // A window at the grid's edge that it does not hold whole.
                for (; j < end; ++j)
                    consider(j);
            } else {
                // The rest of the window, j .. end - 1, through the grid: a
                // site outside the band is passed over whole, however many
                // points share its coordinates.
                const std::size_t plainFound = pairs.size();
                grid->forEachSiteNear(i, [&](const PointGrid::Site& site) {
                    if (!(std::fabs(ya - site.y) < reach) || atOrigin(site.x, site.y))
                        return;
                    const double dist = distance(xa, ya, site.x, site.y);
                    if (!band.contains(dist))
                        return;
                    for (auto it =
                             std::lower_bound(site.positions.begin(), site.positions.end(), j);
                         it != site.positions.end() && *it < end; ++it)
                        pairs.push_back({*it, dist});
                });
                std::sort(pairs.begin() + static_cast<std::ptrdiff_t>(plainFound), pairs.end(),
                          [](const Pair& a, const Pair& b) { return a.second < b.second; });
            }
        }

        for (const Pair& pair : pairs) {
            if (const auto end =
                    findings.add(table.sortOrder[i], table.sortOrder[pair.second], pair.dist))
                return *end;
        }
    }
    return CheckEnd::Finished;
}

} // namespace morvane
