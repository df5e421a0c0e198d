#include "checks/CoincidentPoints.h"
#include "checks/ReferenceAlgorithms.h"
#include "core/PointTable.h"
#include "support/PointTableFixture.h"
#include "support/RecordingUiSink.h"
#include "support/TestPoints.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace morvane {
namespace {

using Rng = std::mt19937_64;

struct Point {
    double x;
    double y;
};

struct Settings {
    std::u16string tolerance;
    std::u16string lower;
    Answer answer;
    std::int32_t reportPos; // where the name check left the report
};

// Everything a user or a later step can see of one check.
struct Outcome {
    std::vector<std::u16string> report;
    std::int32_t reportPos;
    bool reportFull;
    std::vector<std::uint64_t> sortArrays;
    std::vector<std::string> calls;
    std::vector<std::u16string> items;
    std::vector<std::u16string> questions;
    std::vector<std::u16string> messages;
    friend bool operator==(const Outcome&, const Outcome&) = default;
};

// Two neighbouring doubles with the same sort key (X * 1000): the sort may
// leave them in either order.
std::pair<double, double> sameKeyNeighbours() {
    for (double x = 1.5;; x = std::nextafter(x, 2.0)) {
        const double next = std::nextafter(x, 2.0);
        if (x * 1000 == next * 1000)
            return {x, next};
    }
}

// Layouts that make long X windows, equal keys with different X, identical
// points, points at the origin and distances right on a band's edge. Sizes
// go with the tolerance `unit`, so that each point has a few partners.
std::vector<Point> makePoints(Rng& rng, int layout, std::int32_t n, double unit) {
    std::vector<Point> points(n);
    const auto pick = [&](std::int64_t k) { return static_cast<double>(rng() % k); };
    const double side = std::ceil(std::sqrt(double(n))) + 2;
    static const auto [low, high] = sameKeyNeighbours();
    const bool mostlyHigh = rng() % 2;
    for (auto& p : points) {
        switch (layout) {
        case 0: // a lattice of half units: identical points and exact edge distances
            p = {unit / 2 * (pick(2 * side) - 3), unit / 2 * (pick(2 * side) - 3)};
            break;
        case 1: // three X lines half a unit apart
            p = {unit / 2 * pick(3), unit * 1.5 * pick(n + 1)};
            break;
        case 2: // spread out, with windows of a few points
            p = {unit * side * std::uniform_real_distribution(-1.0, 1.0)(rng),
                 unit * side * std::uniform_real_distribution(-1.0, 1.0)(rng)};
            break;
        case 3: // equal keys, unequal X
            p = {pick(2) ? low : high, unit * 1.5 * pick(n + 1)};
            break;
        case 4: // the same, one X rare: long windows that a tiny tolerance
                // ends in the middle of a run of equal keys, on either side
            p = {pick(150) == 0 ? (mostlyHigh ? low : high) : (mostlyHigh ? high : low),
                 unit * 1.5 * pick(n / 2 + 1)};
            break;
        default: // one spot for an eighth, and a lattice around it
            p = pick(8) ? Point{1.25 + unit / 2 * pick(side), -0.5 + unit / 2 * pick(side)}
                        : Point{1.25, -0.5};
            break;
        }
        const auto special = rng() % 16;
        if (special == 0)
            p = {0, 0};
        else if (special == 1)
            p.x = -0.0;
        else if (special == 2)
            p.y = -0.0;
    }
    return points;
}

class CoincidentPointsEquivalence : public test::PointTableFixture {
protected:
    template <class Check>
    static Outcome run(const std::vector<Point>& points, const Settings& s, Check check) {
        std::vector<test::TestPoint> named;
        for (const Point& p : points) {
            const auto n = static_cast<std::int32_t>(named.size()) + 1;
            named.push_back(
                {u"P" + std::u16string(1, static_cast<char16_t>(u'A' + n % 26)), p.x, p.y});
        }
        PointTable& d = data();
        test::startReport(d, s.reportPos);
        test::loadPoints(d, named);

        RecordingUiSink ui;
        ui.toleranceField = s.tolerance;
        ui.lowerField = s.lower;
        ui.answers = {s.answer, s.answer};
        check(d, ui);

        return {test::reportLines(d, s.reportPos),
                d.nextReportLine,
                d.reportFull,
                test::sortBits(d),
                ui.calls,
                ui.items,
                ui.questions,
                ui.messages};
    }

    static Outcome expectSameAsWindowScan(const std::vector<Point>& points, const Settings& s) {
        const Outcome expected = run(points, s, reference::coincidentPointScan);
        const Outcome actual = run(points, s, checkCoincidentPoints);
        EXPECT_EQ(actual.report.size(), expected.report.size());
        EXPECT_EQ(actual, expected);
        return expected;
    }
};

struct ToleranceCase {
    const char16_t* text;
    double unit; // the layouts' scale
};

const ToleranceCase Tolerances[] = {{u"0", 0.05},   {u"0.05", 0.05}, {u"0.25", 0.25},
                                    {u"1", 1},      {u"9.99", 9.99}, {u"1e-300", 0.05},
                                    {u"0.5", 0.25}, {u"0.05", 0.5},  {u"1e-170", 1e-170}};
const char16_t* const Lowers[] = {u"0", u"0", u"0.001", u"0.05", u"0.25", u"-1"};

TEST_F(CoincidentPointsEquivalence, RandomAndAdversarialLayouts) {
    Rng rng(20240607);
    for (int trial = 0; trial < 2000; ++trial) {
        const int layout = static_cast<int>(rng() % 6);
        const auto& tolerance = Tolerances[rng() % std::size(Tolerances)];
        // Squares of such tiny distances vanish: every pair in a window is reported.
        const bool tiny = tolerance.unit < 1e-100;
        // Long windows need a few hundred points before the grid pays.
        const bool longWindows = layout == 1 || layout == 3 || layout == 4;
        const auto n = static_cast<std::int32_t>(rng() % (tiny             ? 60
                                                          : longWindows    ? 700
                                                          : trial % 8 == 0 ? 400
                                                                           : 120));
        const Settings s{tolerance.text, Lowers[rng() % std::size(Lowers)],
                         rng() % 2 ? Answer::Yes : Answer::No, 1};
        SCOPED_TRACE("trial " + std::to_string(trial) + ", layout " + std::to_string(layout) +
                     ", points " + std::to_string(n) + ", tolerance " + toUtf8(s.tolerance) +
                     ", lower " + toUtf8(s.lower));
        expectSameAsWindowScan(makePoints(rng, layout, n, tolerance.unit), s);
    }
}

// 1001 findings bring the question; the answer either ends the check at
// once or lets it run to the end, also when the name check wrote lines first.
TEST_F(CoincidentPointsEquivalence, QuestionAfterTheThousandAndFirstFinding) {
    Rng rng(3);
    for (const Answer answer : {Answer::Yes, Answer::No}) {
        for (const std::int32_t reportPos : {1, 3004}) {
            for (const int layout : {0, 5}) {
                SCOPED_TRACE("layout " + std::to_string(layout));
                const auto outcome = expectSameAsWindowScan(makePoints(rng, layout, 500, 0.7),
                                                            {u"1", u"0", answer, reportPos});
                EXPECT_EQ(outcome.questions.size(), 1u);
            }
        }
    }
}

// Findings are added whole until the report is full, then the check ends.
TEST_F(CoincidentPointsEquivalence, ReportRunningFull) {
    Rng rng(9);
    for (const std::int32_t reportPos : {TableCapacity - 2998, TableCapacity - 3000}) {
        SCOPED_TRACE("report position " + std::to_string(reportPos));
        const auto outcome = expectSameAsWindowScan(makePoints(rng, 5, 300, 0.5),
                                                    {u"0.5", u"0", Answer::No, reportPos});
        EXPECT_TRUE(outcome.reportFull);
        EXPECT_EQ(outcome.messages.size(), 1u);
    }
}

// Pairs just inside the band, above a lower bound that leaves out the rest,
// with every point in one long window. Those from 0.2491 to 0.2495 show
// 0.249, below the tolerance, though they are farther apart than it: a cell
// only the tolerance wide would lose some of them.
TEST_F(CoincidentPointsEquivalence, PairsJustInsideTheToleranceAcrossCells) {
    Rng rng(4);
    std::vector<Point> along(5200), across(5200);
    for (std::size_t i = 0; i < along.size(); ++i) {
        along[i] = {0.0001 * double(i), 0.25 * double(rng() % 2)};
        across[i] = {3.5, 0.0001 * double(i)};
    }
    std::shuffle(along.begin(), along.end(), rng);
    std::shuffle(across.begin(), across.end(), rng);
    for (const auto* points : {&along, &across}) {
        const auto outcome = expectSameAsWindowScan(*points, {u"0.2491", u"0.249", Answer::No, 1});
        EXPECT_GT(outcome.report.size(), 2000u);
    }
}

// Distances whose squares vanish: every pair in a window is closer than a
// tiny tolerance, however far apart their coordinates lie in units of it.
TEST_F(CoincidentPointsEquivalence, TinyToleranceWhereSquaresVanish) {
    Rng rng(8);
    std::vector<Point> points(300);
    for (std::size_t i = 0; i < points.size(); ++i)
        points[i] = {5.0, 0.3e-170 * double(i)};
    std::shuffle(points.begin(), points.end(), rng);
    const auto outcome = expectSameAsWindowScan(points, {u"1e-170", u"0", Answer::Yes, 1});
    EXPECT_EQ(outcome.report.size(), 3u * 1001);
}

// Many identical points closer than the lower bound, with points around them
// closer still or just at the tolerance: nothing to report among them, but
// a long window for every one. Then the same beside the origin's points.
TEST_F(CoincidentPointsEquivalence, LargeClustersBelowTheLowerBound) {
    std::vector<Point> points(4000, Point{12.5, -7.25});
    for (std::size_t i = 0; i < points.size(); i += 8)
        points[i] = {12.5 + 0.0001 * double(i % 5), -7.25 - 0.0001 * double(i % 5)};
    for (std::size_t i = 3; i < points.size(); i += 16)
        points[i] = {12.5, -7.25 + 0.0625};
    for (std::size_t i = 5; i < points.size(); i += 32)
        points[i] = {0, 0};
    points[6] = {13.5, -7.25};
    points[7] = {13.5, -7.2};
    const Outcome outcome = expectSameAsWindowScan(points, {u"0.0625", u"0.002", Answer::No, 1});
    EXPECT_EQ(outcome.report.size(), 3u);
    for (auto& p : points)
        p.x = p.x == 0 && p.y == 0 ? 0 : p.x - 12.5;
    expectSameAsWindowScan(points, {u"0.0625", u"0.002", Answer::No, 1});
}

// A dense spot in a table of ordinary windows: the grid holds only the
// spot's windows, and the points after it whose windows run past the grid's
// last point must still find their pairs there, on either side of the spot.
TEST_F(CoincidentPointsEquivalence, WindowsRunningPastADenseSpot) {
    Rng rng(21);
    std::vector<Point> points;
    for (int k = 1; k <= 600; ++k) {
        points.push_back({10.0 - 0.001 * k, 0.0});
        points.push_back({10.0 + 0.001 * k, 0.0});
    }
    for (int k = 0; k < 1500; ++k)
        points.push_back({10.0, 0.001 * k});
    std::shuffle(points.begin(), points.end(), rng);
    const auto outcome = expectSameAsWindowScan(points, {u"0.05", u"0", Answer::No, 1});
    EXPECT_GT(outcome.report.size(), 3u * 20'000);
}

} // namespace
} // namespace morvane
