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
// computed differences |xa - xb| and |ya - yb| are both below `reach`, the
// site of b is among the sites near the point a.
class PointGrid {
public:
    struct Site {
        double x;
        double y;
        // Its points' sort positions, ascending.
        std::span<const std::int32_t> positions;
    };

    // Of the points at sort positions first..last. xs, ys and keys are
    // indexed by sort position. Keys must be ascending and grow with X (as
    // X * 1000 does), so that X is out of order only within a run of equal
    // keys.
    PointGrid(const std::vector<double>& xs, const std::vector<double>& ys,
              const std::vector<double>& keys, std::int32_t first, std::int32_t last, double reach);

    // Calls visit(const Site&) for every site in the cell of the point at
    // `position` and in the eight cells around it, in no particular order.
    // The position must lie within the grid.
    template <class Visit> void forEachSiteNear(std::int32_t position, Visit&& visit) const {
        for (const auto& [begin, end] : m_near[m_cellOf[position - m_offset]].columns)
            for (std::int32_t s = begin; s < end; ++s) {
                const SiteInfo& site = m_sites[s];
                // Most sites hold one point, kept in the site itself.
                visit(Site{site.x, site.y,
                           site.size == 1 ? std::span<const std::int32_t>(&site.first, 1)
                                          : std::span<const std::int32_t>(
                                                m_members.data() + site.first, site.size)});
            }
    }

    // Asks for what forEachSiteNear(position) reads, ahead of the search: in
    // a long run of equal keys the points lie anywhere in the grid, and each
    // search would wait on memory twice. First the cell's ranges, then, once
    // those are in, the sites they name.
    void prefetchCell(std::int32_t position) const {
        __builtin_prefetch(&m_near[m_cellOf[position - m_offset]]);
    }
    void prefetchSites(std::int32_t position) const {
        for (const auto& [begin, end] : m_near[m_cellOf[position - m_offset]].columns)
            if (begin < end)
                __builtin_prefetch(&m_sites[begin]);
    }

private:
    struct SiteInfo {
        double x;
        double y;
        std::int32_t first; // its point, or where its points start in m_members
        std::int32_t size;
    };
    struct Range {
        std::int32_t begin;
        std::int32_t end;
    };
    // Sites are stored cell by cell, column by column, so the three cells of
    // one column around a cell are one range of sites.
    struct Near {
        Range columns[3]; // to the left, here, to the right
    };

    std::int32_t m_offset;               // the position before the first
    std::vector<SiteInfo> m_sites;       // by cell
    std::vector<std::int32_t> m_members; // of sites with several points
    // The cell of each position, and what is near each cell: a full table
    // has far fewer cells than points where the grid is built at all.
    std::vector<std::int32_t> m_cellOf;
    std::vector<Near> m_near;
};

} // namespace morvane
