#include "support/TestPoints.h"

#include "core/Text.h"
#include "support/TestFiles.h"

#include <algorithm>
#include <bit>
#include <charconv>

namespace morvane::test {

namespace {

// The shortest plain decimal that reads back as the same double.
std::u16string number(double value) {
    char text[512]; // room for the longest: the smallest subnormal
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed).ptr;
    return toUtf16(std::string_view(text, static_cast<std::size_t>(end - text)));
}

std::u16string numbered(char16_t prefix, std::int32_t n) {
    return prefix + toUtf16(std::to_string(n));
}

} // namespace

PointTable& sharedPointTable() {
    static PointTable* const table = new PointTable();
    return *table;
}

void loadPoints(PointTable& table, const std::vector<TestPoint>& points) {
    table.pointCount = static_cast<std::int32_t>(points.size());
    table.makeRoomForPoint(table.pointCount);
    for (std::int32_t n = 1; n <= table.pointCount; ++n) {
        const TestPoint& p = points[static_cast<std::size_t>(n - 1)];
        table.numbers[n] = n;
        table.names.assign(static_cast<std::size_t>(n), p.name);
        table.xs[n] = p.x;
        table.ys[n] = p.y;
        table.sortOrder[n] = n;
    }
}

void loadSortKeys(PointTable& table, const std::vector<double>& keys) {
    table.pointCount = static_cast<std::int32_t>(keys.size());
    table.makeRoomForPoint(table.pointCount);
    for (std::int32_t n = 1; n <= table.pointCount; ++n) {
        table.sortKeys[n] = keys[static_cast<std::size_t>(n - 1)];
        table.sortOrder[n] = n;
    }
}

std::vector<std::uint64_t> sortBits(const PointTable& table) {
    std::vector<std::uint64_t> bits;
    for (std::int32_t n = 1; n <= table.pointCount; ++n) {
        bits.push_back(std::bit_cast<std::uint64_t>(table.sortKeys[n]));
        bits.push_back(std::bit_cast<std::uint64_t>(table.sortOrder[n]));
    }
    return bits;
}

void startReport(PointTable& table, std::int32_t next) {
    table.findings.clear();
    table.nextReportLine = next;
    table.reportFull = false;
}

std::vector<std::u16string> reportLines(const PointTable& table, std::int32_t from) {
    // The lines written since `from` are those of the last findings: a report
    // started at a later line has no lines of its own before them.
    const ReportLines lines = table.writtenReportLines();
    const auto wanted = static_cast<std::size_t>(std::max(table.nextReportLine - from, 0));
    std::vector<std::u16string> result;
    for (std::size_t i = lines.size() - std::min(wanted, lines.size()); i < lines.size(); ++i)
        result.push_back(lines[i]);
    return result;
}

std::vector<TestPoint> findingPairs(std::int32_t namePairs, std::int32_t coordinatePairs) {
    std::vector<TestPoint> points;
    points.reserve(2 * static_cast<std::size_t>(namePairs + coordinatePairs));
    double x = 10;
    for (std::int32_t i = 1; i <= namePairs; ++i, x += 10) {
        points.push_back({numbered(u'N', i), x, 0});
        points.push_back({numbered(u'N', i), x, 1});
    }
    for (std::int32_t i = 1; i <= coordinatePairs; ++i, x += 10) {
        points.push_back({numbered(u'A', i), x, 0});
        points.push_back({numbered(u'B', i), x, 0.01});
    }
    return points;
}

std::vector<TestPoint> separatePoints(std::int32_t n) {
    std::vector<TestPoint> points;
    points.reserve(static_cast<std::size_t>(n));
    for (std::int32_t i = 1; i <= n; ++i)
        points.push_back({numbered(u'P', i), 10.0 * i, 0});
    return points;
}

std::string simaFileOf(const std::vector<TestPoint>& points) {
    std::vector<std::u16string> records;
    records.reserve(points.size());
    for (const TestPoint& p : points)
        records.push_back(u"A01," + toUtf16(std::to_string(records.size() + 1)) + u"," + p.name +
                          u"," + number(p.x) + u"," + number(p.y) + u",");
    return simaFile(records);
}

} // namespace morvane::test
