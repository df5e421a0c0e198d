#include "plot/PlotMapping.h"
#include "plot/PlotPainter.h"
#include "support/PointTableFixture.h"
#include "support/Process.h"
#include "support/TestFiles.h"
#include "support/TestPoints.h"
#include "support/ZipFiles.h"

#include <cmath>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <QImage>
#include <gtest/gtest.h>

namespace morvane {
namespace {

namespace fs = std::filesystem;
using namespace test;

constexpr QRgb Grey = 0xff808080;
constexpr QRgb Red = 0xffdc0000;
constexpr QRgb Blue = 0xff0064dc;

// Two lone points, a pair 5 mm apart (a coincident-point finding), a point at
// the origin that is never drawn, and a name twice 40 m apart.
const std::vector<TestPoint> Points = {
    {u"P1", 100, 100}, {u"P2", 140, 180}, {u"K1", 120, 150}, {u"K2", 120.003, 150.004},
    {u"Z0", 0, 0},     {u"D1", 160, 110}, {u"D1", 160, 150},
};

// morvane-check as a user without a display runs it.
ProcessResult check(std::vector<std::string> args) {
    args.insert(args.begin(), "--quiet");
    return runProcess(MORVANE_CHECK_EXE, args, {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"});
}

// Whether a pixel of this colour lies within `reach` pixels of the point.
bool colourNear(const QImage& image, ScreenPoint at, int reach, QRgb colour) {
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx) {
            const int x = static_cast<int>(at.left) + dx;
            const int y = static_cast<int>(at.top) + dy;
            if (image.valid(x, y) && image.pixel(x, y) == colour)
                return true;
        }
    return false;
}

class PlotPicture : public PointTableFixture {
protected:
    // Where the overview of a picture this size puts a point of Points.
    ScreenPoint placeOf(std::size_t point, int width, int height) {
        loadPoints(data(), Points);
        const PlotView view = overview(data(), width, height, PlotPainter::titleHeight());
        return toScreen(view, {Points[point].x, Points[point].y});
    }
};

TEST_F(PlotPicture, PointsGreyFindingsRedAndBlueWhereTheyAre) {
    TempFile points(simaFileOf(Points));
    const fs::path picture = points.folder() / "plot.png";
    const auto result =
        check({"--plot", picture.string(), "--plot-size", "800x600", points.path().string()});
    ASSERT_EQ(result.status, 1) << result.err;
    EXPECT_EQ(result.err, "");

    const QImage image(QString::fromStdString(picture.string()));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(800, 600));
    for (const std::size_t lone : {0u, 1u}) {
        SCOPED_TRACE(lone);
        const ScreenPoint at = placeOf(lone, 800, 600);
        EXPECT_EQ(image.pixel(static_cast<int>(at.left), static_cast<int>(at.top)), Grey);
        EXPECT_FALSE(colourNear(image, at, 8, Red));
    }
    EXPECT_TRUE(colourNear(image, placeOf(2, 800, 600), 6, Red));
    EXPECT_TRUE(colourNear(image, placeOf(5, 800, 600), 6, Blue));
    // The origin lies within the frame of these points, but nothing is drawn
    // there: the overview would be stretched to it otherwise.
    const ScreenPoint origin = placeOf(4, 800, 600);
    EXPECT_TRUE(origin.left < 0 || origin.top > 600);
}

TEST_F(PlotPicture, DefaultSizeAndAPicturePerFileInAFolder) {
    TempFile first(simaFileOf(Points), "east.sim");
    TempFile second(simaFileOf(separatePoints(3)), "west.sim");
    const fs::path folder = first.folder() / "plots";
    fs::create_directory(folder);
    const auto result =
        check({"--plot", folder.string(), first.path().string(), second.path().string()});
    ASSERT_EQ(result.status, 1) << result.err;
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.insert(e.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"east.png", "west.png"}));
    // A run without findings still shows its points.
    const QImage west(QString::fromStdString((folder / "west.png").string()));
    EXPECT_EQ(west.size(), QSize(1600, 1200));
    EXPECT_TRUE(colourNear(west, {800, 612}, 2, Grey));
}

// Each sheet of an archive gets its own picture, named after its member, in a
// folder named after the archive; without a folder to hold them, the archive
// is refused and the other files still get theirs.
TEST_F(PlotPicture, EverySheetOfAnArchiveGetsItsPicture) {
    TempFile city(zipOf({{"a.xml", PairSheet},
                         {"maps/b.xml", PairSheet},
                         {"inner.zip", zipOf({{"c.xml", PairSheet}})}}),
                  "city.zip");
    const fs::path folder = city.folder() / "plots";
    fs::create_directory(folder);
    auto result = check({"--plot", folder.string(), city.path().string()});
    ASSERT_EQ(result.status, 1) << result.err;
    std::set<std::string> pictures;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        if (e.is_regular_file())
            pictures.insert(e.path().lexically_relative(folder).string());
    EXPECT_EQ(pictures,
              (std::set<std::string>{"city/a.png", "city/maps/b.png", "city/inner/c.png"}));
    EXPECT_FALSE(QImage(QString::fromStdString((folder / "city/maps/b.png").string())).isNull());

    const fs::path png = city.folder() / "one.png";
    result = check({"--plot", png.string(), city.path().string()});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("--plot にはフォルダーを指定してください"), std::string::npos)
        << result.err;
    EXPECT_FALSE(fs::exists(png));
}

struct RefusedCase {
    const char* what;
    std::vector<std::string> args;
    std::string error;
};

TEST_F(PlotPicture, BadRequestsAreRefusedAndNothingIsWritten) {
    TempFile points(simaFileOf(Points));
    const std::string file = points.path().string();
    const std::string png = (points.folder() / "plot.png").string();
    const RefusedCase cases[] = {
        {"size without a height", {"--plot", png, "--plot-size", "800", file}, "--plot-size"},
        {"size too small", {"--plot", png, "--plot-size", "10x10", file}, "64 to 8000"},
        {"size not a number", {"--plot", png, "--plot-size", "axb", file}, "\"axb\""},
        {"several files, no folder", {"--plot", png, file, file}, "takes a folder"},
        {"the PDF's own path", {"--plot", png, "--pdf", png, file}, "also the PDF"},
        {"over the input", {"--plot", file, file}, "overwrite the input"},
        {"into a missing folder",
         {"--plot", (points.folder() / "no/plot.png").string(), file},
         "cannot write the plot"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto result = check(c.args);
        EXPECT_EQ(result.status, 2);
        EXPECT_NE(result.err.find(c.error), std::string::npos) << result.err;
        EXPECT_FALSE(fs::exists(png));
    }
}

} // namespace
} // namespace morvane
