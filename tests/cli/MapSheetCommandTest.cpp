#include "input/ZipArchive.h"
#include "support/Process.h"
#include "support/TestFiles.h"
#include "support/ZipFiles.h"

#include <fstream>

#include <gtest/gtest.h>

namespace morvane {
namespace {

using test::readFile;
using test::runProcess;
using test::TempFile;
using test::zipOf;

const std::string RealSheet = std::string(MORVANE_TEST_DATA) + "/12103-0400-76.zip";

// The two pairs of the real sheet closer than 1 m.
const std::string RealSheetReport = "同一座標値\n"
                                    "    48  01531C1        -42552.236   25885.316  較差 0.944\n"
                                    "   190  01532          -42552.172   25886.258\n"
                                    "同一座標値\n"
                                    "   304  01544G1        -42504.122   26002.266  較差 0.810\n"
                                    "   110  01543B1        -42503.995   26001.466\n"
                                    "\n";

// The real sheet's XML, as the archive holds it.
std::string realSheetXml() {
    const ZipArchive archive{std::filesystem::path(RealSheet)};
    const auto reader = archive.open(archive.members().at(0));
    std::string xml;
    char chunk[4096];
    while (const std::size_t n = reader->read(chunk, sizeof chunk))
        xml.append(chunk, n);
    return xml;
}

TEST(MapSheetCommand, RealSheetGivesTheSameReportZippedOrNot) {
    auto r = runProcess(MORVANE_CHECK_EXE, {"--tolerance", "1", RealSheet});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, RealSheetReport);
    EXPECT_EQ(r.err, "morvane-check: " + RealSheet +
                         ":12103-0400-76.xml: UTF-8, zone 9, 610 points, 0 duplicate names, 2 "
                         "coincident points, band 0 ≤ d < 1\n");

    const std::string xml = realSheetXml();
    ASSERT_EQ(xml.size(), 295674u);
    TempFile plain(xml, "12103-0400-76.xml");
    r = runProcess(MORVANE_CHECK_EXE, {"--quiet", "--tolerance", "1", plain.path().string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, RealSheetReport);
}

TEST(MapSheetCommand, GeoJsonPlacesASheetInTheZoneItStates) {
    // Without --zone, and with a --zone that the sheet's own overrides.
    for (const std::vector<std::string>& zone : {std::vector<std::string>{}, {"--zone", "5"}}) {
        std::vector<std::string> args = {"-q", "--format", "geojson", "--tolerance", "1"};
        args.insert(args.end(), zone.begin(), zone.end());
        args.push_back(RealSheet);
        const auto r = runProcess(MORVANE_CHECK_EXE, args);
        EXPECT_EQ(r.status, 1) << r.err;
        // Point 48 in zone 9, as cs2cs EPSG:6677 EPSG:6668 gives it (140.11907572215043,
        // 35.61611542818442) to 1e-12 degrees: Chiba.
        EXPECT_NE(r.out.find("[[140.119075722150"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find(",35.61611542818442],"), std::string::npos) << r.out;
    }

    // A sheet in local coordinates, and a SIMA file without --zone: each an
    // error of its own file; the collection stays whole.
    std::string local = realSheetXml();
    local.replace(local.find("公共座標9系"), std::string("公共座標9系").size(), "任意座標系");
    TempFile localSheet(local, "local.xml");
    TempFile sima("A01,1,P1,100,200,\r\nA01,2,P1,100.01,200,\r\n", "plain.sim");
    const auto r =
        runProcess(MORVANE_CHECK_EXE, {"-q", "--format", "geojson", "--tolerance", "1",
                                       localSheet.path().string(), sima.path().string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "{\"type\":\"FeatureCollection\",\"features\":[\n]}\n");
    EXPECT_NE(r.err.find(localSheet.path().string() + ": the sheet is in local coordinates"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find(sima.path().string() + ": the file states no zone; give --zone N"),
              std::string::npos)
        << r.err;
}

TEST(MapSheetCommand, ArchivesAreCheckedSheetBySheet) {
    const std::string sheet = realSheetXml();
    std::string badX = sheet;
    badX.replace(badX.find("-42247.011"), 10, "x");
    TempFile city(zipOf({{"c-cut.xml", sheet.substr(0, 1000)},
                         {"b.zip", zipOf({{"sheet.xml", sheet}})},
                         {"d.sim", test::simaFile({u"A01,1,P1,100,200,"})},
                         {"a-bad-x.xml", badX}}),
                  "city.zip");
    TempFile broken("not a zip", "broken.zip");
    const std::string c = city.path().string();
    const auto r =
        runProcess(MORVANE_CHECK_EXE, {"--quiet", "--tolerance", "0.9", c, broken.path().string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "==> " + c + ":a-bad-x.xml <==\n==> " + c + ":b.zip:sheet.xml <==\n" +
                         RealSheetReport.substr(RealSheetReport.find("同一座標値\n   304")) +
                         "==> " + c + ":c-cut.xml <==\n==> " + c +
                         ":d.sim <==\n同一座標はありませんでした\n==> " + broken.path().string() +
                         " <==\n");
    EXPECT_EQ(r.err, "morvane-check: " + c +
                         ":a-bad-x.xml:13: 点 P000000001 の X 座標が数値ではありません（x）。\n"
                         "morvane-check: " +
                         c +
                         ":c-cut.xml:26: XML の形式が正しくありません（unclosed token）。\n"
                         "morvane-check: " +
                         broken.path().string() +
                         ": ZIP ファイルが壊れています（Not a zip archive）。\n");
}

TEST(MapSheetCommand, FoldersGiveTheirSheetsAndArchivesToo) {
    const std::string sheet = realSheetXml();
    TempFile anchor(test::simaFile({u"A01,1,P1,100,200,"}), "a.sim");
    const std::filesystem::path root = anchor.folder();
    std::filesystem::create_directories(root / "b");
    const auto write = [](const std::filesystem::path& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    };
    write(root / "b" / "sheet.XML", sheet);
    write(root / "c.zip", zipOf({{"y.xml", sheet}, {"x.xml", sheet}}));
    write(root / "d.txt", sheet);
    const std::string r = root.string();
    const std::string expected = "==> " + r + "/a.sim <==\n==> " + r + "/b/sheet.XML <==\n==> " +
                                 r + "/c.zip:x.xml <==\n==> " + r + "/c.zip:y.xml <==\n";
    for (const char* jobs : {"1", "2"}) {
        SCOPED_TRACE(jobs);
        const auto run =
            runProcess(MORVANE_CHECK_EXE, {"--quiet", "--tolerance", "0", "-j", jobs, "-r", r});
        EXPECT_EQ(run.status, 0) << run.err;
        std::string headings;
        for (std::size_t at = run.out.find("==> "); at != std::string::npos;
             at = run.out.find("==> ", at + 1))
            headings += run.out.substr(at, run.out.find('\n', at) + 1 - at);
        EXPECT_EQ(headings, expected);
    }
}

} // namespace
} // namespace morvane
