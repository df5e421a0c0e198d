#include "checks/PointGrid.h"

#include <algorithm>

namespace morvane {

namespace {

struct Located {
    double x;
    double y;
    std::int32_t position;
};

bool byCoordinates(const Located& a, const Located& b) {
    if (a.x != b.x)
        return a.x < b.x;
    if (a.y != b.y)
        return a.y < b.y;
    return a.position < b.position;
}

// Greedy strips over ascending values: a strip starts at its first value and
// takes every value whose computed distance from that start is below reach.
// As a rounded subtraction never decreases when its first operand grows or
// its second shrinks, two values two strips apart are at least reach apart.
class Strips {
public:
    explicit Strips(double reach) : m_reach(reach) {}
    std::int32_t next(double ascending) {
        if (m_strip < 0 || !(ascending - m_start < m_reach)) {
            ++m_strip;
            m_start = ascending;
        }
        return m_strip;
    }

private:
    double m_reach;
    double m_start = 0;
    std::int32_t m_strip = -1;
};

struct SiteKey {
    std::int32_t stripX;
    std::int32_t stripY;
    std::int32_t first; // into the points in X, Y order
    std::int32_t size;
    bool sameCell(const SiteKey& o) const { return stripX == o.stripX && stripY == o.stripY; }
};

} // namespace

PointGrid::PointGrid(const std::vector<double>& xs, const std::vector<double>& ys,
                     const std::vector<double>& keys, std::int32_t count, double reach) {
    // Y strips need the Y values in order.
    std::vector<std::int32_t> stripY(static_cast<std::size_t>(count) + 1);
    {
        std::vector<std::pair<double, std::int32_t>> byY(count);
        for (std::int32_t p = 1; p <= count; ++p)
            byY[p - 1] = {ys[p], p};
        std::sort(byY.begin(), byY.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        Strips strips(reach);
        for (const auto& [y, p] : byY)
            stripY[p] = strips.next(y);
    }

    // Ascending keys are ascending X except inside a run of equal keys, where
    // the rounding of the key can leave nearly equal X values in any order.
    // Sorted by X, then Y, then position: sites are runs of equal coordinates,
    // their points in position order.
    std::vector<Located> points(count);
    for (std::int32_t p = 1; p <= count; ++p)
        points[p - 1] = {xs[p], ys[p], p};
    for (std::int32_t begin = 0; begin < count;) {
        std::int32_t end = begin + 1;
        while (end < count && keys[end + 1] == keys[begin + 1])
            ++end;
        if (end - begin > 1)
            std::sort(points.begin() + begin, points.begin() + end, byCoordinates);
        begin = end;
    }
    std::vector<SiteKey> sites;
    Strips stripsX(reach);
    for (std::int32_t k = 0; k < count; ++k) {
        const Located& p = points[k];
        if (k > 0 && p.x == points[k - 1].x && p.y == points[k - 1].y)
            ++sites.back().size;
        else
            sites.push_back({stripsX.next(p.x), stripY[p.position], k, 1});
    }
    std::vector<std::int32_t>().swap(stripY);
    // Already in X strip order: only each column needs sorting.
    for (std::size_t begin = 0; begin < sites.size();) {
        std::size_t end = begin + 1;
        while (end < sites.size() && sites[end].stripX == sites[begin].stripX)
            ++end;
        std::sort(sites.begin() + begin, sites.begin() + end,
                  [](const SiteKey& a, const SiteKey& b) { return a.stripY < b.stripY; });
        begin = end;
    }

    // The sites in cell order; cells and columns as runs of them.
    const auto siteCount = static_cast<std::int32_t>(sites.size());
    m_sites.resize(siteCount);
    std::vector<std::int32_t> cellStart;   // first site of each cell
    std::vector<std::int32_t> cellStripY;  // of each cell
    std::vector<std::int32_t> columnStart; // first cell of each column
    for (std::int32_t s = 0; s < siteCount; ++s) {
        const SiteKey& key = sites[s];
        if (s == 0 || !key.sameCell(sites[s - 1])) {
            if (s == 0 || key.stripX != sites[s - 1].stripX)
                columnStart.push_back(static_cast<std::int32_t>(cellStart.size()));
            cellStart.push_back(s);
            cellStripY.push_back(key.stripY);
        }
        const Located& p = points[key.first];
        if (key.size == 1) {
            m_sites[s] = {p.x, p.y, p.position, 1};
            continue;
        }
        m_sites[s] = {p.x, p.y, static_cast<std::int32_t>(m_members.size()), key.size};
        for (std::int32_t k = key.first; k < key.first + key.size; ++k)
            m_members.push_back(points[k].position);
    }
    // Freed before the largest table is made: a whole run has to fit in
    // little more than the point table itself.
    std::vector<Located>().swap(points);
    std::vector<SiteKey>().swap(sites);
    m_near.resize(static_cast<std::size_t>(count) + 1);
    const auto cellCount = static_cast<std::int32_t>(cellStart.size());
    const auto columns = static_cast<std::int32_t>(columnStart.size());
    cellStart.push_back(siteCount);
    columnStart.push_back(cellCount);

    // For each cell, the cells of the neighbouring columns one Y strip either
    // side of it, found by pointer pairs that only move forward; written to
    // the cell's points. Every strip holds a site, so columns are X strips.
    for (std::int32_t column = 0; column < columns; ++column) {
        Range scan[3];
        Range limit[3];
        for (std::int32_t side = 0; side < 3; ++side) {
            const std::int32_t other = column + side - 1;
            limit[side] = other >= 0 && other < columns
                              ? Range{columnStart[other], columnStart[other + 1]}
                              : Range{0, 0};
            scan[side] = {limit[side].begin, limit[side].begin};
        }
        for (std::int32_t c = columnStart[column]; c < columnStart[column + 1]; ++c) {
            Near near;
            for (std::int32_t side = 0; side < 3; ++side) {
                auto& [from, to] = scan[side];
                while (from < limit[side].end && cellStripY[from] < cellStripY[c] - 1)
                    ++from;
                to = std::max(to, from);
                while (to < limit[side].end && cellStripY[to] <= cellStripY[c] + 1)
                    ++to;
                near.columns[side] = {cellStart[from], cellStart[to]};
            }
            for (std::int32_t s = cellStart[c]; s < cellStart[c + 1]; ++s) {
                const SiteInfo& site = m_sites[s];
                if (site.size == 1)
                    m_near[site.first] = near;
                else
                    for (std::int32_t k = site.first; k < site.first + site.size; ++k)
                        m_near[m_members[k]] = near;
            }
        }
    }
}

} // namespace morvane
