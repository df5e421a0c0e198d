#pragma once

#include "core/PointTable.h"

#include <cstdint>
#include <string>
#include <vector>

namespace morvane::test {

// A point as a test states it; its number is its place in the list.
struct TestPoint {
    std::u16string name;
    double x;
    double y;
};

// One table for a whole program, never freed: about 50 MB allocated once, as
// the window keeps one for its whole life. For the benchmarks and the
// fuzzers; test suites have PointTableFixture.
PointTable& sharedPointTable();

// Puts the points into the table as the reader would: numbered 1, 2, ... in
// the order given, each in its own sort position. The report is left alone.
void loadPoints(PointTable& table, const std::vector<TestPoint>& points);

// Sort keys for positions 1..n, each carrying its own position, as the reader
// leaves them for n points.
void loadSortKeys(PointTable& table, const std::vector<double>& keys);

// The sort arrays of positions 1..pointCount as bits, key then position, so
// that a key of -0 differs from one of 0.
std::vector<std::uint64_t> sortBits(const PointTable& table);

// Empties the findings an earlier check wrote and makes `next` the next line
// of a report that is not full.
void startReport(PointTable& table, std::int32_t next = 1);

// The report's lines from `from` to the last one written.
std::vector<std::u16string> reportLines(const PointTable& table, std::int32_t from = 1);

// Pairs that give one finding each, every pair 10 m from the next and none at
// the origin: first pairs that share a name ("N1", "N2", ...) and lie 1 m
// apart, for the name check; then pairs of two names ("A1" and "B1", ...)
// 1 cm apart, for the coordinate check.
std::vector<TestPoint> findingPairs(std::int32_t namePairs, std::int32_t coordinatePairs);

// n points with names of their own ("P1", "P2", ...), 10 m apart: nothing to
// report.
std::vector<TestPoint> separatePoints(std::int32_t n);

// A coordinate file of the points: "A01" records numbered 1, 2, ..., in code
// page 932 with CR LF.
std::string simaFileOf(const std::vector<TestPoint>& points);

} // namespace morvane::test
