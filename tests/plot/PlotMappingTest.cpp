#include "plot/PlotMapping.h"

#include "support/PointTableFixture.h"
#include "support/TestPoints.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace morvane {
namespace {

// A 400 x 300 screen on (100, 200) at 2 pixels a metre.
const PlotView Screen{{100, 200}, 2, 400, 300};

struct ScreenCase {
    const char* what;
    PlanePoint plane;
    ScreenPoint screen;
};

constexpr ScreenCase ScreenCases[] = {
    {"centre in the middle", {100, 200}, {200, 150}},
    {"north is up", {110, 200}, {200, 130}},
    {"south is down", {90, 200}, {200, 170}},
    {"east is right", {100, 210}, {220, 150}},
    {"west is left", {100, 190}, {180, 150}},
    {"both axes one scale", {125, 225}, {250, 100}},
};

TEST(PlotMapping, NorthUpEastRightOneScale) {
    for (const auto& c : ScreenCases) {
        SCOPED_TRACE(c.what);
        const ScreenPoint s = toScreen(Screen, c.plane);
        EXPECT_DOUBLE_EQ(s.left, c.screen.left);
        EXPECT_DOUBLE_EQ(s.top, c.screen.top);
        const PlanePoint back = toPlane(Screen, s);
        EXPECT_DOUBLE_EQ(back.x, c.plane.x);
        EXPECT_DOUBLE_EQ(back.y, c.plane.y);
    }
}

struct FramingCase {
    const char* what;
    PlaneBox box;
    double width;
    double height;
    double margin;
    double pixelsPerMetre;
};

const FramingCase FramingCases[] = {
    {"wide box fills the width", {0, 50, 0, 100, false}, 400, 300, 0, 4},
    {"tall box fills the height", {0, 100, 0, 10, false}, 400, 300, 0, 3},
    {"margin left free", {0, 100, 0, 10, false}, 400, 300, 50, 2},
    {"one point: the deepest zoom", {5, 5, 7, 7, false}, 400, 300, 0, MaxPixelsPerMetre},
    {"a country: no shallower than the limit",
     {0, 1e9, 0, 1e9, false},
     400,
     300,
     0,
     MinPixelsPerMetre},
};

TEST(PlotMapping, FramingShowsTheWholeBoxCentred) {
    for (const auto& c : FramingCases) {
        SCOPED_TRACE(c.what);
        const PlotView v = framing(c.box, c.width, c.height, c.margin);
        EXPECT_DOUBLE_EQ(v.pixelsPerMetre, c.pixelsPerMetre);
        const ScreenPoint middle = toScreen(v, c.box.centre());
        EXPECT_DOUBLE_EQ(middle.left, c.width / 2);
        EXPECT_DOUBLE_EQ(middle.top, c.height / 2);
        if (c.pixelsPerMetre == MinPixelsPerMetre)
            continue;
        // North-west corner top left, south-east bottom right, inside the margin.
        const ScreenPoint nw = toScreen(v, {c.box.maxX, c.box.minY});
        const ScreenPoint se = toScreen(v, {c.box.minX, c.box.maxY});
        EXPECT_GE(nw.left, c.margin - 1e-9);
        EXPECT_GE(nw.top, c.margin - 1e-9);
        EXPECT_LE(se.left, c.width - c.margin + 1e-9);
        EXPECT_LE(se.top, c.height - c.margin + 1e-9);
    }
}

class FindingFrame : public test::PointTableFixture {};

struct FrameCase {
    const char* what;
    std::vector<test::TestPoint> points;
    Finding finding;
    double tolerance;
    PlaneBox expected;
};

TEST_F(FindingFrame, PairAndTenTolerancesAroundIt) {
    const FrameCase cases[] = {
        {"coincident pair: ten tolerances around",
         {{u"A", 100, 200}, {u"B", 100.01, 200.02}},
         {FindingKind::CoincidentPoint, 1, 2, 0.022},
         0.05,
         {99.5, 100.51, 199.5, 200.52, false}},
        {"far duplicate name: a quarter of the distance around",
         {{u"A", 0, 1000}, {u"A", 0, 1400}},
         {FindingKind::DuplicateName, 1, 2, 400},
         0.05,
         {-100, 100, 900, 1500, false}},
        {"tolerance 0 and one spot: still some surroundings",
         {{u"A", 5, 5}, {u"A", 5, 5}},
         {FindingKind::DuplicateName, 1, 2, 0},
         0,
         {4.9, 5.1, 4.9, 5.1, false}},
        {"a point at 0, 0 is framed without it",
         {{u"A", 0, 0}, {u"A", 30, 40}},
         {FindingKind::DuplicateName, 1, 2, 50},
         0.05,
         {17.5, 42.5, 27.5, 52.5, false}},
        {"no plotted point: nothing to frame",
         {{u"A", 0, 0}, {u"A", 0, 0}},
         {FindingKind::DuplicateName, 1, 2, 0},
         0.05,
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::loadPoints(data(), c.points);
        const PlaneBox box = findingBox(data(), c.finding, c.tolerance);
        ASSERT_EQ(box.empty, c.expected.empty);
        if (box.empty)
            continue;
        EXPECT_NEAR(box.minX, c.expected.minX, 1e-9);
        EXPECT_NEAR(box.maxX, c.expected.maxX, 1e-9);
        EXPECT_NEAR(box.minY, c.expected.minY, 1e-9);
        EXPECT_NEAR(box.maxY, c.expected.maxY, 1e-9);
    }
}

TEST_F(FindingFrame, OverviewLeavesPointsAtTheOriginOut) {
    test::loadPoints(data(), {{u"A", 0, 0}, {u"B", 10, 20}, {u"C", -10, 60}});
    const PlaneBox box = plottedBox(data());
    EXPECT_EQ(box.minX, -10);
    EXPECT_EQ(box.maxX, 10);
    EXPECT_EQ(box.minY, 20);
    EXPECT_EQ(box.maxY, 60);
}

struct ZoomCase {
    const char* what;
    ScreenPoint pointer;
    double factor;
};

constexpr ZoomCase ZoomCases[] = {
    {"in at the middle", {200, 150}, 2},
    {"in at a corner", {0, 0}, 1.2},
    {"out at the bottom right", {399, 299}, 1 / 1.2},
    {"far in off-centre", {37, 251}, 1000},
};

TEST(PlotMapping, ZoomKeepsThePointUnderThePointer) {
    for (const auto& c : ZoomCases) {
        SCOPED_TRACE(c.what);
        const PlanePoint before = toPlane(Screen, c.pointer);
        const PlotView zoomed = zoomedAbout(Screen, c.pointer, c.factor);
        EXPECT_DOUBLE_EQ(zoomed.pixelsPerMetre, Screen.pixelsPerMetre * c.factor);
        const ScreenPoint after = toScreen(zoomed, before);
        EXPECT_NEAR(after.left, c.pointer.left, 1e-6);
        EXPECT_NEAR(after.top, c.pointer.top, 1e-6);
    }
}

TEST(PlotMapping, ZoomStopsAtItsLimits) {
    EXPECT_EQ(zoomedAbout(Screen, {0, 0}, 1e12).pixelsPerMetre, MaxPixelsPerMetre);
    EXPECT_EQ(zoomedAbout(Screen, {0, 0}, 1e-12).pixelsPerMetre, MinPixelsPerMetre);
}

TEST(PlotMapping, PanMovesWhatIsUnderThePointerWithIt) {
    const PlanePoint grabbed = toPlane(Screen, {120, 80});
    const ScreenPoint after = toScreen(panned(Screen, 35, -12), grabbed);
    EXPECT_DOUBLE_EQ(after.left, 155);
    EXPECT_DOUBLE_EQ(after.top, 68);
}

struct ScaleBarCase {
    double pixelsPerMetre;
    double maxPixels;
    double metres;
};

constexpr ScaleBarCase ScaleBarCases[] = {
    {1, 200, 200},    {1, 150, 100}, {1, 100, 100},     {3, 200, 50},
    {0.01, 200, 2e4}, {100, 200, 2}, {2000, 150, 0.05}, {12, 199, 10},
};

TEST(PlotMapping, ScaleBarIsOneTwoOrFiveTimesAPowerOfTen) {
    for (const auto& c : ScaleBarCases) {
        SCOPED_TRACE(testing::Message() << c.pixelsPerMetre << " px/m, " << c.maxPixels << " px");
        EXPECT_NEAR(scaleBarMetres(c.pixelsPerMetre, c.maxPixels), c.metres, c.metres * 1e-12);
    }
}

struct ScaleBarLabelCase {
    double metres;
    const char* label;
};

constexpr ScaleBarLabelCase ScaleBarLabelCases[] = {
    {2e7, "20000 km"}, {5e5, "500 km"}, {2000, "2 km"},   {1000, "1 km"}, {500, "500 m"},
    {50, "50 m"},      {1, "1 m"},      {0.5, "50 cm"},   {0.2, "20 cm"}, {0.01, "1 cm"},
    {0.005, "5 mm"},   {0.001, "1 mm"}, {5e-4, "0.5 mm"},
};

TEST(PlotMapping, ScaleBarLabelIsPlainDigitsInAFittingUnit) {
    for (const auto& c : ScaleBarLabelCases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(scaleBarLabel(c.metres), c.label);
    }
}

// Over the whole zoom range, the lengths as scaleBarMetres computes them
// (powers of ten that may miss by a hair) read as 1, 2 or 5 of a power of
// ten in the largest unit that fits: never "10 mm" or "1000 m".
TEST(PlotMapping, ScaleBarLabelsOverTheZoomRange) {
    const std::vector<std::string> counts = {"1", "2", "5", "10", "20", "50", "100", "200", "500"};
    for (double pixelsPerMetre = MinPixelsPerMetre; pixelsPerMetre <= MaxPixelsPerMetre;
         pixelsPerMetre *= 1.37) {
        const double metres = scaleBarMetres(pixelsPerMetre, 200);
        const std::string label = scaleBarLabel(metres);
        SCOPED_TRACE(testing::Message() << metres << " m: " << label);
        const auto space = label.find(' ');
        ASSERT_NE(space, std::string::npos);
        const std::string count = label.substr(0, space);
        const std::string unit = label.substr(space + 1);
        const double unitMetres = unit == "km"   ? 1000
                                  : unit == "m"  ? 1
                                  : unit == "cm" ? 0.01
                                  : unit == "mm" ? 0.001
                                                 : 0;
        ASSERT_NE(unitMetres, 0);
        EXPECT_NEAR(std::stod(count) * unitMetres, metres, metres * 1e-9);
        if (unit != "km") {
            EXPECT_NE(std::find(counts.begin(), counts.end(), count), counts.end());
        }
    }
}

TEST(PlotMapping, LabelsNeverOverlapOrLeaveTheScreen) {
    const std::vector<LabelBox> labels = {
        {10, 10, 50, 12},  // placed
        {40, 15, 50, 12},  // overlaps the first
        {70, 10, 50, 12},  // beside it
        {350, 10, 60, 12}, // runs off the right edge
        {10, 22, 50, 12},  // just below the first: touching is no overlap
        {-1, 40, 10, 12},  // starts left of the screen
    };
    EXPECT_EQ(placeLabels(labels, {}, 400, 300), (std::vector<std::int32_t>{0, 2, 4}));
    // A point's dot under the first label keeps it out.
    EXPECT_EQ(placeLabels(labels, {{30, 14, 4, 4}}, 400, 300), (std::vector<std::int32_t>{1}));
}

TEST(PlotMapping, DenseLabelsArePlacedSparsely) {
    // A thousand points 2 pixels apart: a row of labels, not a blot.
    std::vector<LabelBox> labels;
    for (int i = 0; i < 1000; ++i)
        labels.push_back({10 + 0.3 * i, 100 + 0.1 * i, 40, 12});
    EXPECT_LE(placeLabels(labels, {}, 400, 300).size(), 10u);
}

struct ClipCase {
    const char* what;
    ScreenPoint a;
    ScreenPoint b;
    bool visible;
    ScreenPoint clippedA;
    ScreenPoint clippedB;
};

constexpr ClipCase ClipCases[] = {
    {"inside stays", {10, 10}, {20, 30}, true, {10, 10}, {20, 30}},
    {"across is cut at both edges", {-100, 50}, {500, 50}, true, {0, 50}, {400, 50}},
    {"far beyond is cut too", {-1e12, -1e12}, {1e12, 1e12}, true, {0, 0}, {300, 300}},
    {"beside the screen is gone", {-50, -10}, {-10, 500}, false, {}, {}},
};

TEST(PlotMapping, SegmentsAreCutToTheScreen) {
    for (const auto& c : ClipCases) {
        SCOPED_TRACE(c.what);
        ScreenPoint a = c.a;
        ScreenPoint b = c.b;
        ASSERT_EQ(clipSegment(a, b, 0, 0, 400, 300), c.visible);
        if (!c.visible)
            continue;
        EXPECT_NEAR(a.left, c.clippedA.left, 1e-3);
        EXPECT_NEAR(a.top, c.clippedA.top, 1e-3);
        EXPECT_NEAR(b.left, c.clippedB.left, 1e-3);
        EXPECT_NEAR(b.top, c.clippedB.top, 1e-3);
    }
}

} // namespace
} // namespace morvane
