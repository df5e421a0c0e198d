// The checks against a model that compares all pairs, on thousands of random
// point sets: ties in X and in name keys, points at the origin, distances on
// the band's edges, lower bounds above 0 and the tolerance limits 0 and 9.99,
// point numbers shared, 0 and at the limits of 32 bits.
#include "checks/CoincidentPoints.h"
#include "checks/Distance.h"
#include "checks/DuplicateNames.h"
#include "checks/DuplicateNumbers.h"
#include "checks/KeySort.h"
#include "core/LeadingNumber.h"
#include "core/NumberFormat.h"
#include "core/PointLine.h"
#include "core/PointTable.h"
#include "core/Text.h"
#include "input/Cp932.h"
#include "support/PointTableFixture.h"
#include "support/RecordingUiSink.h"
#include "support/TestPoints.h"

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace morvane {
namespace {

using test::loadPoints;
using test::loadSortKeys;
using test::reportLines;
using test::startReport;
using test::TestPoint;

// Twenty characters are beyond a double's precision: all of these share one
// name key, so different names meet in one run of equal keys.
const std::u16string Names[] = {
    u"P1",
    u"P2",
    u"P3",
    u"p1",
    u"P1 ",
    u"境界1",
    u"",
    u"   ",
    u"\u3000",
    u"\t",
    u"BOUNDARY-POINT-00001",
    u"BOUNDARY-POINT-00002",
    u"BOUNDARY-POINT-00003",
};
const std::int32_t Numbers[] = {0, 1, 2, 3, -1, 2147483647, -2147483647 - 1};
const char16_t* const Tolerances[] = {u"0", u"0.001", u"0.05", u"0.0505", u"0.5",
                                      u"1", u"2.5",   u"9.99", u"0.0004"};
const char16_t* const Lowers[] = {u"0", u"0", u"0.01", u"0.25", u"0.5", u"3", u"20", u"0.0495"};
// 0.25 steps are exact in binary, so distances fall exactly on 0.5 or 2.5;
// millimetre steps give distances a hair either side of whole millimetres.
const double Steps[] = {0.25, 0.01, 1, 3.33, 0.001, 0.0005};
const double Offsets[] = {0, -42100, 12544.5};

class Random {
public:
    explicit Random(std::uint32_t seed) : m_engine(seed) {}
    // mt19937 is the same everywhere; the standard distributions are not.
    std::uint32_t below(std::uint32_t n) { return m_engine() % n; }
    template <typename T, std::size_t N> const T& pick(const T (&items)[N]) {
        return items[below(N)];
    }

private:
    std::mt19937 m_engine;
};

std::vector<TestPoint> randomPoints(Random& rng) {
    // One set in forty has hundreds of points on a few X values: the X
    // windows grow long, as on a survey line along one axis.
    const bool line = rng.below(40) == 0;
    const std::uint32_t count = line ? 250 + rng.below(100) : 1 + rng.below(40);
    const std::uint32_t xCells = line ? 3 : 4 + rng.below(30);
    const std::uint32_t yCells = line ? 3000 : xCells;
    const double step = rng.pick(Steps);
    const double offset = rng.pick(Offsets);
    std::vector<TestPoint> points;
    for (std::uint32_t i = 0; i < count; ++i) {
        TestPoint p{rng.pick(Names), offset + step * rng.below(xCells), step * rng.below(yCells)};
        switch (rng.below(12)) {
        case 0: // no coordinates
            p.x = p.y = 0;
            break;
        case 1: // on an axis, not at the origin
            p.x = 0;
            break;
        case 2:
            p.y = 0;
            break;
        case 3:
            p.x = -p.x;
            break;
        default:
            break;
        }
        points.push_back(p);
    }
    return points;
}

bool blank(std::u16string_view name) {
    for (char16_t c : name)
        if (c != u' ' && c != u'\u3000')
            return false;
    return true;
}

bool atOrigin(const PointTable& d, std::int32_t p) {
    return d.xs[p] == 0 && d.ys[p] == 0;
}

// Sort positions in sortByKey's order of the given keys: the checks promise
// their pairs in this order, whatever order equal keys end up in.
std::vector<std::int32_t> sortedBy(PointTable& d, const std::vector<double>& keys) {
    loadSortKeys(d, keys);
    sortByKey(d);
    std::vector<std::int32_t> order;
    for (std::int32_t i = 1; i <= d.pointCount; ++i) {
        EXPECT_TRUE(i == 1 || d.sortKeys[i - 1] <= d.sortKeys[i]);
        order.push_back(roundHalfEven(d.sortOrder[i]));
    }
    return order;
}

struct Report {
    std::vector<std::u16string> lines;
    std::vector<std::u16string> items;

    void add(const PointTable& d, std::u16string_view listHeading, std::u16string_view heading,
             std::int32_t a, std::int32_t b) {
        const double dist = distance(d.xs[a], d.ys[a], d.xs[b], d.ys[b]);
        const std::u16string first = pointLine(d, a) + u"  較差 " + formatThreeDecimals(dist);
        const std::u16string second = pointLine(d, b);
        lines.insert(lines.end(), {std::u16string(heading), first, second});
        items.insert(items.end(), {std::u16string(listHeading), first, second, u" "});
    }
};

// Each point with the next point in name-key order that has the same,
// non-blank name.
void modelNameCheck(const PointTable& d, const std::vector<std::int32_t>& order, Report& out) {
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (blank(d.names[order[i]]))
            continue;
        for (std::size_t j = i + 1; j < order.size(); ++j) {
            if (d.names[order[j]] == d.names[order[i]]) {
                out.add(d, u"同一名称", u"同一名称", order[i], order[j]);
                break;
            }
        }
    }
}

// Each point with the next point in file order that has the same number, in
// the order of the numbers; number 0 is in no pair.
void modelNumberCheck(const PointTable& d, const std::vector<std::int32_t>& numbers, Report& out) {
    for (const std::int32_t number : numbers) {
        std::int32_t previous = 0;
        for (std::int32_t p = 1; p <= d.pointCount; ++p) {
            if (d.numbers[p] != number || number == 0)
                continue;
            if (previous != 0)
                out.add(d, u"同一点番号", u"同一点番号", previous, p);
            previous = p;
        }
    }
}

// Plain decimals compared as written: the integer parts padded on the left,
// the fractions on the right. Bounds here are never negative.
int compareDecimals(const std::u16string& a, const std::u16string& b) {
    const auto parts = [](const std::u16string& s) {
        const std::size_t point = std::min(s.find(u'.'), s.size());
        return std::pair(s.substr(0, point), point < s.size() ? s.substr(point + 1) : u"");
    };
    auto [aWhole, aFraction] = parts(a);
    auto [bWhole, bFraction] = parts(b);
    const std::size_t whole = std::max(aWhole.size(), bWhole.size());
    const std::size_t fraction = std::max(aFraction.size(), bFraction.size());
    const std::u16string left = std::u16string(whole - aWhole.size(), u'0') + aWhole + aFraction +
                                std::u16string(fraction - aFraction.size(), u'0');
    const std::u16string right = std::u16string(whole - bWhole.size(), u'0') + bWhole + bFraction +
                                 std::u16string(fraction - bFraction.size(), u'0');
    return left.compare(right);
}

// Every pair whose distance as the report shows it lies in the band as typed,
// in X order of the first point and then of the second; a point at the origin
// is in no pair.
void modelCoordinateCheck(const PointTable& d, const std::vector<std::int32_t>& order,
                          const std::u16string& tolerance, const std::u16string& lower,
                          Report& out) {
    for (std::size_t i = 0; i < order.size(); ++i) {
        for (std::size_t j = i + 1; j < order.size(); ++j) {
            const std::int32_t a = order[i], b = order[j];
            if (atOrigin(d, a) || atOrigin(d, b))
                continue;
            const std::u16string shown =
                formatThreeDecimals(distance(d.xs[a], d.ys[a], d.xs[b], d.ys[b]));
            if (compareDecimals(lower, shown) <= 0 && compareDecimals(shown, tolerance) < 0)
                out.add(d, u"同位置座標", u"同一座標値", a, b);
        }
    }
}

// Shows the first line that differs rather than two lists of hundreds.
testing::AssertionResult sameLines(const std::vector<std::u16string>& actual,
                                   const std::vector<std::u16string>& expected) {
    for (std::size_t i = 0; i < std::max(actual.size(), expected.size()); ++i) {
        const auto line = [&](const std::vector<std::u16string>& lines) {
            return i < lines.size() ? toUtf8(lines[i]) : std::string("(none)");
        };
        if (line(actual) != line(expected))
            return testing::AssertionFailure()
                   << "line " << i << " of " << actual.size() << ": \"" << line(actual)
                   << "\", the model has " << expected.size() << ": \"" << line(expected) << "\"";
    }
    return testing::AssertionSuccess();
}

class ChecksAgainstModel : public test::PointTableFixture {};

TEST_F(ChecksAgainstModel, RandomPointSetsGiveExactlyTheModelsFindings) {
    Random rng(20240607);
    std::size_t nameFindings = 0, coordinateFindings = 0, numberFindings = 0;
    std::vector<std::int32_t> sortedNumbers(std::begin(Numbers), std::end(Numbers));
    std::sort(sortedNumbers.begin(), sortedNumbers.end());
    for (int set = 0; set < 3000; ++set) {
        SCOPED_TRACE("set " + std::to_string(set));
        const auto points = randomPoints(rng);
        RecordingUiSink ui;
        // Go on past the 1001st finding: every finding is compared.
        ui.answers = {Answer::No, Answer::No};
        ui.toleranceField = rng.pick(Tolerances);
        ui.lowerField = rng.pick(Lowers);
        PointTable& d = data();
        loadPoints(d, points);
        for (std::int32_t p = 1; p <= d.pointCount; ++p)
            d.numbers[p] = rng.pick(Numbers);
        startReport(d);

        std::vector<double> nameKeys, xKeys;
        for (const auto& p : points) {
            nameKeys.push_back(NameKey(p.name));
            xKeys.push_back(p.x * 1000);
        }
        Report expected;
        modelNameCheck(d, sortedBy(d, nameKeys), expected);
        const std::size_t names = expected.lines.size() / 3;
        modelCoordinateCheck(d, sortedBy(d, xKeys), ui.toleranceField, ui.lowerField, expected);
        const std::size_t namesAndCoordinates = expected.lines.size() / 3;
        modelNumberCheck(d, sortedNumbers, expected);

        // The run's own order: name keys, the name check, the coordinate check,
        // then the number check.
        loadSortKeys(d, nameKeys);
        sortByKey(d);
        checkDuplicateNames(d, ui);
        checkCoincidentPoints(d, ui);
        checkDuplicateNumbers(d, ui);

        ASSERT_TRUE(sameLines(reportLines(d), expected.lines));
        ASSERT_TRUE(sameLines(ui.items, expected.items));
        // Each check asks once after its 1001st finding.
        const std::size_t coordinates = namesAndCoordinates - names;
        const std::size_t numbers = expected.lines.size() / 3 - namesAndCoordinates;
        EXPECT_EQ(ui.questions.size(), (names > 1000) + (coordinates > 1000) + (numbers > 1000));
        nameFindings += names;
        coordinateFindings += coordinates;
        numberFindings += numbers;
    }
    // The sets are varied enough to find plenty of each.
    EXPECT_GT(nameFindings, 1000u);
    EXPECT_GT(coordinateFindings, 1000u);
    EXPECT_GT(numberFindings, 1000u);
}

} // namespace
} // namespace morvane
