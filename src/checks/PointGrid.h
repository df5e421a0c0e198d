#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace morvane {

// The points of a run in X order (sort positions 1..count), grouped into
// sites of exactly equal coordinates and the sites into cells at least
// `reach` wide in X and in Y, so that the points near one point are found
// without walking all points with a similar X.
//
// Strip edges are taken from the coordinates themselves, not by dividing by
// the cell size, so the guarantee below holds at any magnitude: whenever the
// computed difference |xa - xb| and |ya - yb| are both below `reach`, the
// site of b is among the sites near the site of a.
class PointGrid {
public:
    struct Site {
        double x;
        double y;
        // Its points' sort positions, ascending.
        std::span<const std::int32_t> positions;
    };

    // xs, ys and keys are indexed by sort position; keys must be ascending and
    // every run of equal keys is taken to hold X values that only runs of
    // equal keys can hold out of order (keys that grow with X, as X * 1000).
    PointGrid(const std::vector<double>& xs, const std::vector<double>& ys,
              const std::vector<double>& keys, std::int32_t count, double reach);

    // Calls visit(const Site&) for every site in the cell of the point at
    // `position` and in the eight cells around it, in no particular order.
    template <class Visit> void forEachSiteNear(std::int32_t position, Visit&& visit) const {
        const SiteInfo& own = m_sites[m_siteOf[position]];
        for (std::int32_t column = own.stripX - 1; column <= own.stripX + 1; ++column) {
            if (column < 0 || column >= m_stripsX)
                continue;
            for (auto c = firstInColumn(column, own.stripY - 1);
                 c != m_columnStart[column + 1] && m_sites[m_cells[c]].stripY <= own.stripY + 1;
                 ++c)
                visit(site(m_cells[c]));
        }
    }

private:
    struct SiteInfo {
        double x;
        double y;
        std::int32_t first; // into m_order; the next site's first ends it
        std::int32_t stripX;
        std::int32_t stripY;
    };

    Site site(std::int32_t s) const {
        const auto begin = m_order.begin() + m_sites[s].first;
        const auto end = m_order.begin() + m_sites[s + 1].first;
        return {m_sites[s].x, m_sites[s].y, std::span<const std::int32_t>(begin, end)};
    }
    std::size_t firstInColumn(std::int32_t column, std::int32_t fromStripY) const;

    std::vector<std::int32_t> m_order;  // positions by X, then Y, then position
    std::vector<std::int32_t> m_siteOf; // by position
    std::vector<SiteInfo> m_sites;      // by X, then Y; one extra at the end
    std::vector<std::int32_t> m_cells;  // site numbers by strip X, then strip Y
    std::vector<std::size_t> m_columnStart;
    std::int32_t m_stripsX = 0;
};

} // namespace morvane
