#include "support/Process.h"
#include "support/TestFiles.h"
#include "support/ZipFiles.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

using test::runProcess;
using test::simaFile;

// Coordinate files in a ZIP are checked one by one, as files on disk are,
// each named by its member as Japanese Windows wrote it: in code page 932,
// without the UTF-8 flag.
TEST(ArchiveCommand, CoordinateFilesAreCheckedMemberByMember) {
    const test::TempFile zip(
        test::zipOf({{.name = test::cp932(u"稲毛区/地図1.sim"),
                      .bytes = simaFile({u"A01,1,境1,0,0,", u"A01,2,境1,5,5,"}),
                      .rawName = true},
                     {"a.sim", simaFile({u"A01,1,P1,0,1,", u"A01,2,P2,0"})},
                     {"b.sim", simaFile({u"A01,1,P1,1,1,"})}}),
        "x.zip");
    const std::string x = zip.path().string();
    auto r = runProcess(MORVANE_CHECK_EXE, {x});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "==> " + x + ":a.sim <==\n==> " + x +
                         ":b.sim <==\n同一座標はありませんでした\n==> " + x +
                         ":稲毛区/地図1.sim <==\n同一名称\n"
                         "     1  境1             0.000   0.000  較差 7.071\n"
                         "     2  境1             5.000   5.000\n\n");
    EXPECT_EQ(r.err, "morvane-check: " + x + ":a.sim:5: A01 レコードに Y 座標がありません。\n" +
                         "morvane-check: " + x +
                         ":b.sim: CP932, 1 point, 0 duplicate names, 0 coincident points, "
                         "band 0 ≤ d < 0.05\n" +
                         "morvane-check: " + x +
                         ":稲毛区/地図1.sim: CP932, 2 points, 1 duplicate name, 0 coincident "
                         "points, band 0 ≤ d < 0.05\n");

    r = runProcess(MORVANE_CHECK_EXE, {"-q", "--format", "csv", x});
    EXPECT_NE(r.out.find("\n" + x + ":稲毛区/地図1.sim,duplicate_name,"), std::string::npos)
        << r.out;

    // A ZIP may hold sheets, so GeoJSON is not refused without --zone; its
    // coordinate files, which state none, are placed nowhere.
    r = runProcess(MORVANE_CHECK_EXE, {"-q", "--format", "geojson", x});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(x + ":稲毛区/地図1.sim: the file states no zone"), std::string::npos)
        << r.err;
}

} // namespace
} // namespace morvane
