#include "checks/PointGrid.h"

#include <algorithm>
#include <numeric>

namespace morvane {

namespace {

// Greedy strips over ascending values: a strip starts at its first value and
// takes every value whose computed distance from that start is below reach.
// As a rounded subtraction never decreases when its first operand grows or
// its second shrinks, two values two strips apart are at least reach apart.
template <class ValueOf, class SetStrip>
std::int32_t assignStrips(const std::vector<std::int32_t>& ascending, double reach, ValueOf valueOf,
                          SetStrip setStrip) {
    std::int32_t strip = -1;
    double start = 0;
    for (const std::int32_t s : ascending) {
        const double v = valueOf(s);
        if (strip < 0 || !(v - start < reach)) {
            ++strip;
            start = v;
        }
        setStrip(s, strip);
    }
    return strip + 1;
}

} // namespace

PointGrid::PointGrid(const std::vector<double>& xs, const std::vector<double>& ys,
                     const std::vector<double>& keys, std::int32_t count, double reach)
    : m_order(count), m_siteOf(static_cast<std::size_t>(count) + 1) {
    // Ascending keys are ascending X except inside a run of equal keys, where
    // the rounding of the key can leave nearly equal X values in any order.
    std::iota(m_order.begin(), m_order.end(), 1);
    const auto byCoordinates = [&](std::int32_t a, std::int32_t b) {
        if (xs[a] != xs[b])
            return xs[a] < xs[b];
        if (ys[a] != ys[b])
            return ys[a] < ys[b];
        return a < b;
    };
    for (std::int32_t begin = 0; begin < count;) {
        std::int32_t end = begin + 1;
        while (end < count && keys[m_order[end]] == keys[m_order[begin]])
            ++end;
        if (end - begin > 1)
            std::sort(m_order.begin() + begin, m_order.begin() + end, byCoordinates);
        begin = end;
    }

    for (std::int32_t k = 0; k < count; ++k) {
        const std::int32_t p = m_order[k];
        if (k == 0 || xs[p] != m_sites.back().x || ys[p] != m_sites.back().y)
            m_sites.push_back({xs[p], ys[p], k, 0, 0});
        m_siteOf[p] = static_cast<std::int32_t>(m_sites.size()) - 1;
    }
    const auto siteCount = static_cast<std::int32_t>(m_sites.size());
    m_sites.push_back({0, 0, count, 0, 0});

    std::vector<std::int32_t> ids(siteCount);
    std::iota(ids.begin(), ids.end(), 0);
    m_stripsX = assignStrips(
        ids, reach, [&](std::int32_t s) { return m_sites[s].x; },
        [&](std::int32_t s, std::int32_t strip) { m_sites[s].stripX = strip; });
    std::sort(ids.begin(), ids.end(),
              [&](std::int32_t a, std::int32_t b) { return m_sites[a].y < m_sites[b].y; });
    assignStrips(
        ids, reach, [&](std::int32_t s) { return m_sites[s].y; },
        [&](std::int32_t s, std::int32_t strip) { m_sites[s].stripY = strip; });

    // Sites are in X order, so each X strip is already one stretch of them.
    m_cells.resize(siteCount);
    std::iota(m_cells.begin(), m_cells.end(), 0);
    m_columnStart.assign(static_cast<std::size_t>(m_stripsX) + 1, 0);
    for (std::int32_t s = 0; s < siteCount; ++s)
        ++m_columnStart[m_sites[s].stripX + 1];
    std::partial_sum(m_columnStart.begin(), m_columnStart.end(), m_columnStart.begin());
    for (std::int32_t column = 0; column < m_stripsX; ++column)
        std::sort(
            m_cells.begin() + m_columnStart[column], m_cells.begin() + m_columnStart[column + 1],
            [&](std::int32_t a, std::int32_t b) { return m_sites[a].stripY < m_sites[b].stripY; });
}

std::size_t PointGrid::firstInColumn(std::int32_t column, std::int32_t fromStripY) const {
    const auto begin = m_cells.begin() + m_columnStart[column];
    const auto end = m_cells.begin() + m_columnStart[column + 1];
    const auto it = std::partition_point(
        begin, end, [&](std::int32_t s) { return m_sites[s].stripY < fromStripY; });
    return static_cast<std::size_t>(it - m_cells.begin());
}

} // namespace morvane
