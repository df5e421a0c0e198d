#include "checks/PointGrid.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

namespace morvane {

namespace {

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

// The bits of a Y value as an unsigned number in the order of the values,
// with -0 as 0.
std::uint64_t orderedBits(double y) {
    const double value = y == 0 ? 0.0 : y;
    std::uint64_t bits; // std::bit_cast, where every library has it
    std::memcpy(&bits, &value, sizeof bits);
    return bits >> 63 ? ~bits : bits | (std::uint64_t{1} << 63);
}

// Y values 1..count with their positions, in (Y, position) order: a stable
// radix sort of the positions in order, by 11 bits a pass from the lowest,
// leaving out the passes of the bits all values share (most of the high
// ones, for the values of one survey). Several times faster than a sort by
// comparison, which the grid of a full table waited on.
std::vector<std::pair<double, std::int32_t>> inYOrder(const double* ys, std::int32_t count) {
    constexpr int DigitBits = 11;
    constexpr int Passes = (64 + DigitBits - 1) / DigitBits;
    constexpr std::size_t Digits = std::size_t{1} << DigitBits;
    const auto digit = [](std::uint64_t bits, int pass) {
        return static_cast<std::size_t>((bits >> (pass * DigitBits)) & (Digits - 1));
    };
    std::vector<std::pair<double, std::int32_t>> order(count), other(count);
    std::vector<std::array<std::int32_t, Digits>> counts(Passes);
    for (auto& c : counts)
        c.fill(0);
    for (std::int32_t p = 1; p <= count; ++p) {
        order[p - 1] = {ys[p], p};
        const std::uint64_t bits = orderedBits(ys[p]);
        for (int pass = 0; pass < Passes; ++pass)
            ++counts[pass][digit(bits, pass)];
    }
    for (int pass = 0; pass < Passes; ++pass) {
        auto& c = counts[pass];
        if (std::find(c.begin(), c.end(), count) != c.end())
            continue; // one digit for all
        std::int32_t start = 0;
        for (auto& n : c)
            start += std::exchange(n, start);
        for (const auto& entry : order)
            other[c[digit(orderedBits(entry.first), pass)]++] = entry;
        order.swap(other);
    }
    return order;
}

struct SiteKey {
    std::int32_t stripX;
    std::int32_t stripY;
    std::int32_t first; // into the points in X, Y order
    std::int32_t size;
    bool sameCell(const SiteKey& o) const { return stripX == o.stripX && stripY == o.stripY; }
};

} // namespace

PointGrid::PointGrid(const std::vector<double>& allXs, const std::vector<double>& allYs,
                     const std::vector<double>& allKeys, std::int32_t first, std::int32_t last,
                     double reach)
    : m_offset(first - 1) {
    // Within, positions count from 1 at first; the sites name positions as
    // the caller does.
    const std::int32_t count = last - first + 1;
    const double* xs = allXs.data() + m_offset;
    const double* ys = allYs.data() + m_offset;
    const double* keys = allKeys.data() + m_offset;
    // Sorted by X, then Y, then position, the points make sites as runs of
    // equal coordinates, their points in position order. Ascending keys are
    // ascending X except inside a run of equal keys, where the rounding of
    // the key can leave nearly equal X values in any order: only those runs
    // need sorting.
    std::vector<std::int32_t> points(count);
    for (std::int32_t p = 1; p <= count; ++p)
        points[p - 1] = p;
    struct KeyRun {
        std::int32_t begin; // into points
        std::int32_t end;
    };
    std::vector<KeyRun> keyRuns;
    for (std::int32_t begin = 0; begin < count;) {
        std::int32_t end = begin + 1;
        while (end < count && keys[end + 1] == keys[begin + 1])
            ++end;
        if (end - begin > 1)
            keyRuns.push_back({begin, end});
        begin = end;
    }

    // Y strips need the Y values in order; in (Y, position) order, the same
    // pass deals each run's points out in that order, which sorts a run
    // whose X values are all equal (all of them on one grid line) without a
    // comparison of its own.
    std::vector<std::int32_t> stripY(static_cast<std::size_t>(count) + 1);
    {
        const std::vector<std::pair<double, std::int32_t>> byY = inYOrder(ys, count);
        Strips strips(reach);
        for (const auto& [y, p] : byY)
            stripY[p] = strips.next(y);

        if (!keyRuns.empty()) {
            // The run of each position (-1: none), and where its next point goes.
            std::vector<std::int32_t> runOf(static_cast<std::size_t>(count) + 1, -1);
            std::vector<std::int32_t> next(keyRuns.size());
            for (std::size_t r = 0; r < keyRuns.size(); ++r) {
                next[r] = keyRuns[r].begin;
                for (std::int32_t k = keyRuns[r].begin; k < keyRuns[r].end; ++k)
                    runOf[k + 1] = static_cast<std::int32_t>(r);
            }
            for (const auto& [y, p] : byY)
                if (const std::int32_t r = runOf[p]; r >= 0)
                    points[next[r]++] = p;
        }
    }
    // Then by X, where it differs within a run; stable, so Y and position
    // keep their order among equal X.
    for (const auto& [begin, end] : keyRuns) {
        const double x = xs[points[begin]];
        if (std::any_of(points.begin() + begin, points.begin() + end,
                        [&](std::int32_t p) { return xs[p] != x; }))
            std::stable_sort(points.begin() + begin, points.begin() + end,
                             [&](std::int32_t a, std::int32_t b) { return xs[a] < xs[b]; });
    }
    std::vector<KeyRun>().swap(keyRuns);

    std::vector<SiteKey> sites;
    Strips stripsX(reach);
    for (std::int32_t k = 0; k < count; ++k) {
        const std::int32_t p = points[k];
        if (k > 0 && xs[p] == xs[points[k - 1]] && ys[p] == ys[points[k - 1]])
            ++sites.back().size;
        else
            sites.push_back({stripsX.next(xs[p]), stripY[p], k, 1});
    }
    std::vector<std::int32_t>().swap(stripY);
    // Already in X strip order: only each column needs sorting, and a column
    // of one X (points on one grid line) is in Y order already.
    const auto byStripY = [](const SiteKey& a, const SiteKey& b) { return a.stripY < b.stripY; };
    for (std::size_t begin = 0; begin < sites.size();) {
        std::size_t end = begin + 1;
        while (end < sites.size() && sites[end].stripX == sites[begin].stripX)
            ++end;
        const auto first = sites.begin() + static_cast<std::ptrdiff_t>(begin);
        const auto last = sites.begin() + static_cast<std::ptrdiff_t>(end);
        if (!std::is_sorted(first, last, byStripY))
            std::sort(first, last, byStripY);
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
        const std::int32_t p = points[key.first];
        if (key.size == 1) {
            m_sites[s] = {xs[p], ys[p], p + m_offset, 1};
            continue;
        }
        m_sites[s] = {xs[p], ys[p], static_cast<std::int32_t>(m_members.size()), key.size};
        for (std::int32_t k = key.first; k < key.first + key.size; ++k)
            m_members.push_back(points[k] + m_offset);
    }
    // Freed before the cells' tables are made: a whole run has to fit in
    // little more than the point table itself.
    std::vector<std::int32_t>().swap(points);
    std::vector<SiteKey>().swap(sites);
    const auto cellCount = static_cast<std::int32_t>(cellStart.size());
    m_cellOf.resize(static_cast<std::size_t>(count) + 1);
    m_near.resize(static_cast<std::size_t>(cellCount));
    const auto columns = static_cast<std::int32_t>(columnStart.size());
    cellStart.push_back(siteCount);
    columnStart.push_back(cellCount);

    // A column a reach or more from the next (points on lines 10 m apart) has
    // nothing near it there: as a rounded difference never shrinks when its
    // first operand grows or its second shrinks, no two of their points are
    // within a reach in X.
    std::vector<double> columnMinX(columns), columnMaxX(columns);
    for (std::int32_t column = 0; column < columns; ++column) {
        const auto first = m_sites.begin() + cellStart[columnStart[column]];
        const auto last = m_sites.begin() + cellStart[columnStart[column + 1]];
        const auto [low, high] = std::minmax_element(
            first, last, [](const SiteInfo& a, const SiteInfo& b) { return a.x < b.x; });
        columnMinX[column] = low->x;
        columnMaxX[column] = high->x;
    }
    const auto apart = [&](std::int32_t left, std::int32_t right) {
        return !(columnMinX[right] - columnMaxX[left] < reach);
    };

    // For each cell, the cells of the neighbouring columns one Y strip either
    // side of it, found by pointer pairs that only move forward; written to
    // the cell's points. Every strip holds a site, so columns are X strips.
    for (std::int32_t column = 0; column < columns; ++column) {
        Range scan[3];
        Range limit[3];
        for (std::int32_t side = 0; side < 3; ++side) {
            const std::int32_t other = column + side - 1;
            const bool neighbour = other >= 0 && other < columns &&
                                   (side != 0 || !apart(other, column)) &&
                                   (side != 2 || !apart(column, other));
            limit[side] =
                neighbour ? Range{columnStart[other], columnStart[other + 1]} : Range{0, 0};
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
            m_near[c] = near;
            for (std::int32_t s = cellStart[c]; s < cellStart[c + 1]; ++s) {
                const SiteInfo& site = m_sites[s];
                if (site.size == 1)
                    m_cellOf[site.first - m_offset] = c;
                else
                    for (std::int32_t k = site.first; k < site.first + site.size; ++k)
                        m_cellOf[m_members[k] - m_offset] = c;
            }
        }
    }
}

} // namespace morvane
