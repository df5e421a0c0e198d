#include "checks/CoincidentPoints.h"

#include "checks/CheckFixture.h"
#include "core/RunError.h"

#include <cmath>

namespace morvane {
namespace {

using test::findingPairs;
using test::loadPoints;
using test::TestPoint;

class CoincidentPoints : public test::CheckFixture {
protected:
    void check(const std::vector<TestPoint>& points, std::u16string tolerance = u"0.5",
               std::u16string lower = u"0") {
        SetUp();
        ui = {};
        ui.toleranceField = std::move(tolerance);
        ui.lowerField = std::move(lower);
        loadPoints(data(), points);
        checkCoincidentPoints(data(), ui);
    }

    std::size_t findings() const { return ui.items.size() / 4; }
};

TEST_F(CoincidentPoints, ReportsPairsInTheBandSmallerXFirst) {
    check({{u"B", 100.25, 200.25}, {u"A", 100, 200}});
    const std::vector<std::u16string> items = {
        u"同位置座標",
        u"     2  A              100.000   200.000  較差 0.354",
        u"     1  B              100.250   200.250",
        u" ",
    };
    EXPECT_EQ(ui.items, items);
    EXPECT_EQ(report(), u"同一座標値\n"
                        u"     2  A              100.000   200.000  較差 0.354\n"
                        u"     1  B              100.250   200.250\n");
    // The same finding as data: the points in report order, the distance unrounded.
    ASSERT_EQ(data().findings.size(), 1u);
    const Finding& f = data().findings[0];
    EXPECT_EQ(f.kind, FindingKind::CoincidentPoint);
    EXPECT_EQ(f.first, 2);
    EXPECT_EQ(f.second, 1);
    EXPECT_DOUBLE_EQ(f.distance, std::sqrt(2 * 0.25 * 0.25));
}

struct BandCase {
    const char* what;
    std::vector<TestPoint> points;
    std::u16string tolerance;
    std::u16string lower;
    std::size_t findings;
};

TEST_F(CoincidentPoints, ReportsExactlyTheDistancesInTheBand) {
    const BandCase cases[] = {
        {"distance equal to the tolerance", {{u"", 100, 200}, {u"", 100.5, 200}}, u"0.5", u"0", 0},
        {"identical points, lower 0", {{u"", 5, 5}, {u"", 5, 5}}, u"0.05", u"0", 1},
        {"identical points, lower 0.001", {{u"", 5, 5}, {u"", 5, 5}}, u"0.05", u"0.001", 0},
        {"distance equal to the lower bound", {{u"", 1, 1}, {u"", 1.25, 1}}, u"0.5", u"0.25", 1},
        {"lower at the tolerance", {{u"", 1, 1}, {u"", 1.1, 1}}, u"0.5", u"0.5", 0},
        {"tolerance 0", {{u"", 1, 1}, {u"", 1, 1}}, u"0", u"0", 0},
        {"close in X, far in Y", {{u"", 1, 1}, {u"", 1, 9}}, u"0.5", u"0", 0},
        {"within 2 x tolerance in X but not in the band",
         {{u"", 1, 1}, {u"", 1.9, 1}},
         u"0.5",
         u"0",
         0},
        {"both at the origin", {{u"", 0, 0}, {u"", 0, 0}}, u"0.5", u"0", 0},
        {"origin second, negative X first", {{u"", -0.25, 0}, {u"", 0, 0}}, u"0.5", u"0", 0},
        {"origin first, positive X second", {{u"", 0.25, 0}, {u"", 0, 0}}, u"0.5", u"0", 0},
        {"X zero alone is no origin", {{u"", 0, 0.1}, {u"", 0, 0.2}}, u"0.5", u"0", 1},
        {"tolerance 9.99", {{u"", 0, 1}, {u"", 9.98, 1}}, u"9.99", u"0", 1},
        {"field texts with CR LF", {{u"", 1, 1}, {u"", 1.1, 1}}, u"0.5\r\n", u"0\r\n", 1},
        {"a lower bound of letters reads 0", {{u"", 1, 1}, {u"", 1, 1}}, u"0.5", u"x", 1},
        {"far apart in Y beyond a double", {{u"", 1, 1e200}, {u"", 1, -1e200}}, u"0.5", u"0", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        check(c.points, c.tolerance, c.lower);
        EXPECT_EQ(findings(), c.findings);
    }
}

// Three pairs 0.050 apart in millimetre coordinates, whose computed distances
// are 0.0499999999956, 0.04999999999997 and 0.050000000000000044: each shows
// "較差 0.050", so all three are in a band or none is.
const std::vector<TestPoint> FiftyMillimetres = {
    {u"", -42100.02, -21050.01},
    {u"", -42099.97, -21050.01},
    {u"", 100, 50},
    {u"", 100.05, 50},
    {u"", 1, 0.5},
    {u"", 1.05, 0.5},
};

TEST_F(CoincidentPoints, JudgesTheDistanceAsTheReportShowsIt) {
    const BandCase cases[] = {
        {"0.050 is not below 0.05", FiftyMillimetres, u"0.05", u"0", 0},
        {"0.050 is below 0.051", FiftyMillimetres, u"0.051", u"0", 3},
        {"0.050 is at a lower bound 0.05", FiftyMillimetres, u"0.1", u"0.05", 3},
        {"0.050 is above a lower bound 0.0495", FiftyMillimetres, u"0.1", u"0.0495", 3},
        {"0.050 is below 0.0505", FiftyMillimetres, u"0.0505", u"0", 3},
        {"0.0504 shows 0.050, below 0.0503", {{u"", 7, 7}, {u"", 7.0504, 7}}, u"0.0503", u"0", 1},
        {"0.0506 shows 0.051, not below 0.0505",
         {{u"", 7, 7}, {u"", 7.0506, 7}},
         u"0.0505",
         u"0",
         0},
        {"0.0004 shows 0.000, below 0.0001", {{u"", 7, 7}, {u"", 7.0004, 7}}, u"0.0001", u"0", 1},
        {"0.0494 shows 0.049, below a lower bound 0.0495",
         {{u"", 7, 7}, {u"", 7.0494, 7}},
         u"0.1",
         u"0.0495",
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        check(c.points, c.tolerance, c.lower);
        EXPECT_EQ(findings(), c.findings);
    }
}

TEST_F(CoincidentPoints, LongNamesOfAPairAreShownWhole) {
    check({{u"T-2024-0612-0001", 1, 1}, {u"T-2024-0612-0008", 1.01, 1}});
    EXPECT_EQ(report(), u"同一座標値\n"
                        u"     1  T-2024-0612-0001 1.000   1.000  較差 0.010\n"
                        u"     2  T-2024-0612-0008 1.010   1.000\n");
}

TEST_F(CoincidentPoints, EachPairOnceFromTheFirstInXOrder) {
    // Four points in a tight cluster: six pairs, each reported once.
    check({{u"d", 1.3, 0}, {u"a", 1.0, 0}, {u"c", 1.2, 0}, {u"b", 1.1, 0}});
    ASSERT_EQ(findings(), 6u);
    std::vector<std::u16string> firsts;
    for (std::size_t f = 0; f < 6; ++f)
        firsts.push_back(ui.items[4 * f + 1].substr(8, 1));
    EXPECT_EQ(firsts, (std::vector<std::u16string>{u"a", u"a", u"a", u"b", u"b", u"c"}));
}

TEST_F(CoincidentPoints, LastPointNeverReadsPastTheTable) {
    // A stale point beyond pointCount must not be reached.
    data().xs[3] = 5;
    data().ys[3] = 5;
    loadPoints(data(), {{u"", 5, 5}, {u"", 9, 9}});
    data().xs[3] = 5.01;
    data().ys[3] = 5;
    checkCoincidentPoints(data(), ui);
    EXPECT_EQ(findings(), 0u);
}

TEST_F(CoincidentPoints, AsksAfterThe1001stFindingOfItsOwn) {
    const auto points = findingPairs(0, 1100);
    struct Case {
        Answer answer;
        std::int32_t reportPosBefore;
        std::size_t findings;
    };
    // The name check may have left findings: the limit counts from there.
    for (const auto& c :
         {Case{Answer::Yes, 1, 1001}, Case{Answer::No, 1, 1100}, Case{Answer::Yes, 301, 1001}}) {
        SetUp();
        ui = {};
        ui.answers = {c.answer};
        loadPoints(data(), points);
        data().nextReportLine = c.reportPosBefore;
        checkCoincidentPoints(data(), ui);
        EXPECT_EQ(findings(), c.findings);
        ASSERT_EQ(ui.questions.size(), 1u);
        EXPECT_EQ(ui.questions[0], u"同位置座標が多すぎます。処理を中止しますか？");
    }
}

TEST_F(CoincidentPoints, FullReportStopsBothChecksWithOneNotice) {
    // 170,000 identical pairs: only 166,666 findings fit in 499,999 lines.
    std::vector<TestPoint> points;
    for (int i = 0; i < 170'000; ++i) {
        points.push_back({u"", 10.0 * (i + 1), 0});
        points.push_back({u"", 10.0 * (i + 1), 0});
    }
    ui.answers = {Answer::No};
    loadPoints(data(), points);
    checkCoincidentPoints(data(), ui);
    EXPECT_EQ(findings(), 166'666u);
    EXPECT_EQ(data().nextReportLine, 1 + 3 * 166'666);
    EXPECT_TRUE(data().reportFull);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], u"結果が上限（499999行）に達しました。以降の結果は省略します。");
    // Every finding is whole: the last one ends with its second point.
    EXPECT_EQ(ui.items.back(), u" ");
    // Only written findings are kept as data.
    EXPECT_EQ(data().findings.size(), 166'666u);
}

TEST_F(CoincidentPoints, CoordinateKeysBeyondADoubleAreError6) {
    loadPoints(data(), {{u"", 1e306, 0}});
    test::expectRunError([&] { checkCoincidentPoints(data(), ui); }, 6);
}

} // namespace
} // namespace morvane
