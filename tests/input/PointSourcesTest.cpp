#include "input/PointSources.h"

#include "core/PointTable.h"
#include "core/RunError.h"
#include "core/Text.h"
#include "support/PointTableFixture.h"
#include "support/TestFiles.h"
#include "support/ZipFiles.h"

#include <cstring>
#include <tuple>
#include <zip.h>

#include <gtest/gtest.h>

namespace morvane {
namespace {

using test::declaringSize;
using test::TempFile;
using test::zipOf;
using Member = test::ZipMember;

// A sheet of one point, named after its only point's name and X.
std::string sheetOf(const std::string& name, const std::string& x) {
    return "<地図 xmlns=\"http://www.moj.go.jp/MINJI/tizuxml\" "
           "xmlns:zmn=\"http://www.moj.go.jp/MINJI/tizuzumen\"><座標系>公共座標2系</座標系>\n"
           "<zmn:GM_Point id=\"P1\"><zmn:DirectPosition><zmn:X>" +
           x +
           "</zmn:X><zmn:Y>1</zmn:Y></zmn:DirectPosition></zmn:GM_Point>\n"
           "<筆界点><点番名>" +
           name + "</点番名><形状 idref=\"P1\"/></筆界点></地図>\n";
}

class PointSources : public test::PointTableFixture {
protected:
    // The display name after the archive's path, and the name of the point
    // read, or the error.
    std::vector<std::pair<std::string, std::string>> readAll(const TempFile& file) {
        std::vector<std::pair<std::string, std::string>> outcomes;
        for (const PointSource& source : pointSourcesOf(file.path(), m_limit)) {
            std::string name = source.displayName().string().substr(file.path().string().size());
            data().clear();
            try {
                const SourceReading reading = source.read(data());
                // Only a sheet states its zone.
                EXPECT_EQ(reading.coordinateSystem.zone,
                          source.format() == SourceFormat::MapSheet ? 2 : 0);
                outcomes.emplace_back(name, toUtf8(data().names[1]));
            } catch (const RunError& e) {
                EXPECT_EQ(e.place().file, source.displayName());
                outcomes.emplace_back(name, toUtf8(e.message()));
            }
        }
        return outcomes;
    }

    // The error that refuses the whole archive.
    std::string refusal(const TempFile& file) {
        try {
            pointSourcesOf(file.path(), m_limit);
        } catch (const RunError& e) {
            EXPECT_EQ(e.place().file, file.path());
            return toUtf8(e.message());
        }
        return "no error";
    }

    UnpackLimits m_limit;
};

using Outcomes = std::vector<std::pair<std::string, std::string>>;

TEST_F(PointSources, PlainFilesAreOneSourceEach) {
    TempFile xml(sheetOf("境1", "5"), "sheet.XML");
    TempFile sima(test::simaFile({u"A01,1,P1,0,1,"}), "points.sim");
    EXPECT_EQ(readAll(xml), (Outcomes{{"", "境1"}}));
    const auto sources = pointSourcesOf(sima.path());
    ASSERT_EQ(sources.size(), 1u);
    EXPECT_EQ(sources[0].format(), SourceFormat::CoordinateFile);
    data().clear();
    EXPECT_EQ(sources[0].read(data()).encoding, "CP932");
    EXPECT_EQ(data().pointCount, 1);
}

// Coordinate files in an archive are read as on disk, in whatever encoding,
// their first record after the byte order mark.
TEST_F(PointSources, ArchivesListSheetsAndCoordinateFilesInMemberOrderOneLevelDown) {
    const std::string inner =
        zipOf({{"s2.xml", sheetOf("内2", "2")},
               {"s1.xml", sheetOf("内1", "1")},
               {"s3.Dat", test::savedAs(FileEncoding::Utf16Be, u"A01,1,内3,0,1,")},
               {"deeper.zip", zipOf({{"x.xml", sheetOf("深", "0")}})}});
    TempFile zip(zipOf({{"c.xml", sheetOf("外c", "3")},
                        {"b.zip", inner},
                        {"readme.txt", "text"},
                        {"sub/", ""},
                        {"sub/a.xml", sheetOf("外a", "4")},
                        {"sub/d.SIM", test::simaFile({u"A01,1,外d,0,1,"})},
                        {"e.sct", test::savedAs(FileEncoding::Utf8WithBom, u"A01,1,外e,0,1,")},
                        {"a.xml", sheetOf("外", "5")}}),
                 "city.zip");
    EXPECT_EQ(readAll(zip), (Outcomes{{":a.xml", "外"},
                                      {":b.zip:s1.xml", "内1"},
                                      {":b.zip:s2.xml", "内2"},
                                      {":b.zip:s3.Dat", "内3"},
                                      {":c.xml", "外c"},
                                      {":e.sct", "外e"},
                                      {":sub/a.xml", "外a"},
                                      {":sub/d.SIM", "外d"}}));
}

// Names are shown and matched in UTF-8 whoever wrote them.
TEST_F(PointSources, MemberNamesAreReadAsTheirWritersMeantThem) {
    const std::string sima = test::simaFile({u"A01,1,P,0,1,"});
    const std::string utf8 = "稲毛区/地図1.sim";
    struct Case {
        const char* what;
        std::string zip;
    };
    const Case cases[] = {
        {"code page 932, unflagged",
         zipOf({{.name = test::cp932(u"稲毛区/地図1.sim"), .bytes = sima, .rawName = true}})},
        {"UTF-8, flagged", zipOf({{utf8, sima}})},
        {"UTF-8, unflagged", test::withoutUtf8Flags(zipOf({{utf8, sima}}))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFile zip(c.zip, "names.zip");
        EXPECT_EQ(readAll(zip), (Outcomes{{":" + utf8, "P"}}));
    }
}

TEST_F(PointSources, ABadMemberLeavesTheOthersReadable) {
    const std::string sheet = sheetOf("良", "1");
    TempFile zip(zipOf({{"1-broken.xml", "<地図>\n<a></b>"},
                        {"2-locked.xml", sheet, true},
                        {"3-locked.zip", zipOf({{"x.xml", sheet}}), true},
                        {"4-empty.zip", zipOf({{"x.txt", "t"}})},
                        {"5-not-a.zip", "PK not really"},
                        {"6-inner.zip", zipOf({{"../up.xml", sheet}, {"ok.xml", sheet}})},
                        {"/absolute.xml", sheet},
                        {"C:/drive.xml", sheet},
                        {"a/../../climb.xml", sheet},
                        {"a\\..\\back.xml", sheet},
                        {"a..b.xml", sheet}}),
                 "bad.zip");
    const std::string badPath = "ZIP 内のパスが不正です（絶対パスか「..」を含みます）。";
    const Outcomes outcomes = readAll(zip);
    EXPECT_EQ(
        outcomes,
        (Outcomes{{":/absolute.xml", badPath},
                  {":1-broken.xml", "XML の形式が正しくありません（mismatched tag）。"},
                  {":2-locked.xml", "暗号化されているため読めません。"},
                  {":3-locked.zip", "暗号化されているため読めません。"},
                  {":4-empty.zip",
                   "ZIP ファイルに地図XML（.xml）も座標ファイル（.sim、.dat、.sct）もありません。"},
                  {":5-not-a.zip", "ZIP ファイルが壊れています（Not a zip archive）。"},
                  {":6-inner.zip:../up.xml", badPath},
                  {":6-inner.zip:ok.xml", "良"},
                  {":C:/drive.xml", badPath},
                  {":a..b.xml", "良"},
                  {":a/../../climb.xml", badPath},
                  {":a\\..\\back.xml", badPath}}));
}

TEST_F(PointSources, AMalformedMemberSaysItsLine) {
    for (const auto& [member, bytes, line] :
         {std::tuple{"a.xml", std::string("<地図>\n\n<a></b>"), 3},
          std::tuple{"a.sim", test::simaFile({u"A01,1,P1,0,1,", u"A01,2,P2,0"}), 5}}) {
        SCOPED_TRACE(member);
        TempFile zip(zipOf({{member, bytes}}), "one.zip");
        const auto sources = pointSourcesOf(zip.path());
        ASSERT_EQ(sources.size(), 1u);
        try {
            sources[0].read(data());
            ADD_FAILURE() << "no error";
        } catch (const RunError& e) {
            EXPECT_EQ(e.place().line, line);
            EXPECT_EQ(e.place().file.string(), zip.path().string() + ":" + member);
        }
    }
}

TEST_F(PointSources, RefusesWholeArchives) {
    const std::string sheet = sheetOf("a", "1");
    const std::string good = zipOf({{"a.xml", sheet}, {"b.xml", sheet}});
    std::string corrupt = good;
    corrupt.resize(corrupt.size() - 30); // the end of the central directory is gone
    struct Case {
        const char* what;
        std::string bytes;
        std::string error;
    };
    const Case cases[] = {
        {"no sheet", zipOf({{"a.txt", "x"}, {"d/", ""}}),
         "ZIP ファイルに地図XML（.xml）も座標ファイル（.sim、.dat、.sct）もありません。"},
        {"empty archive", zipOf({}),
         "ZIP ファイルに地図XML（.xml）も座標ファイル（.sim、.dat、.sct）もありません。"},
        {"not a zip", "hello", "ZIP ファイルが壊れています（Not a zip archive）。"},
        {"cut short", corrupt, "ZIP ファイルが壊れています（Not a zip archive）。"},
    };
    const auto openFiles = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
    };
    const auto filesBefore = openFiles();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFile zip(c.bytes, "whole.zip");
        EXPECT_EQ(refusal(zip), c.error);
    }
    // No archive that is refused keeps its file open.
    EXPECT_EQ(openFiles(), filesBefore);
}

// Limits hold each member, by its declared size before it is unpacked and by
// its bytes as they come, for sizes that lie; the member fails, the others
// are read, whatever their total.
TEST_F(PointSources, EachMemberIsHeldToItsLimits) {
    m_limit.memberBytes = 64 * 1024;
    const std::string sheet = sheetOf("a", "1");
    const std::string padded = sheet + std::string(100 * 1024, ' ');
    const std::string tooBig = "展開後のサイズが上限（64 KiB）を超えています。";
    struct Case {
        const char* what;
        std::string bytes;
        Outcomes outcomes;
    };
    const Case cases[] = {
        {"declares too much",
         zipOf({{"a.xml", padded}, {"b.xml", sheet}}),
         {{":a.xml", tooBig}, {":b.xml", "a"}}},
        {"lies about its size",
         declaringSize(zipOf({{"a.xml", padded}}), 100),
         {{":a.xml", tooBig}}},
        {"lies inside an inner archive",
         zipOf({{"in.zip", declaringSize(zipOf({{"a.xml", padded}}), 100)}}),
         {{":in.zip:a.xml", tooBig}}},
        {"an inner archive that lies",
         declaringSize(
             zipOf({{"in.zip", zipOf({{"a.xml", sheet}, {"pad.txt", padded, false, true}})}}), 100),
         {{":in.zip", tooBig}}},
        {"honest sheets over the limit together",
         zipOf({{"a.xml", sheet + std::string(40 * 1024, ' ')},
                {"b.xml", sheet + std::string(40 * 1024, ' ')}}),
         {{":a.xml", "a"}, {":b.xml", "a"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFile zip(c.bytes, "limits.zip");
        EXPECT_EQ(readAll(zip), c.outcomes);
    }
}

// A bomb is known by its ratio, whatever its size: spaces compress a
// thousand times, a sheet some twenty; small members are not judged.
TEST_F(PointSources, ABombIsRefusedByItsRatio) {
    m_limit.firstBytes = 64 * 1024;
    const std::string sheet = sheetOf("a", "1");
    const std::string bomb = sheet + std::string(2 << 20, ' ');
    const std::string ratio = "展開後のサイズが圧縮サイズの上限（100 倍）を超えています。";
    const std::string innerRatio = "展開後のサイズが圧縮サイズの上限（32 倍）を超えています。";
    // Stored inside, so that the inner archive itself compresses like its sheet.
    const std::string storedBomb = zipOf({{"a.xml", bomb, false, true}});
    struct Trial {
        const char* what;
        std::string bytes;
        Outcomes outcomes;
    };
    const Trial trials[] = {
        {"declared",
         zipOf({{"bomb.xml", bomb}, {"b.xml", sheet}}),
         {{":b.xml", "a"}, {":bomb.xml", ratio}}},
        {"hidden by a lying size",
         declaringSize(zipOf({{"bomb.xml", bomb}}), 1000),
         {{":bomb.xml", ratio}}},
        {"an inner archive of a bomb", zipOf({{"in.zip", storedBomb}}), {{":in.zip", innerRatio}}},
        {"a coordinate file",
         zipOf({{"bomb.sim", test::simaFile({u"A01,1,a,0,1,"}) + std::string(2 << 20, ' ')}}),
         {{":bomb.sim", ratio}}},
        {"small padding",
         zipOf({{"a.xml", sheet + std::string(32 * 1024, ' ')}}),
         {{":a.xml", "a"}}},
    };
    for (const Trial& t : trials) {
        SCOPED_TRACE(t.what);
        TempFile zip(t.bytes, "bomb.zip");
        EXPECT_EQ(readAll(zip), t.outcomes);
    }
}

TEST_F(PointSources, DamagedMemberDataIsAnErrorOfThatSheet) {
    const std::string sheet = sheetOf("良", "1") + std::string(4000, ' ');
    std::string zip =
        zipOf({{"a.xml", sheetOf("壊", "1") + std::string(4000, ' ')}, {"b.xml", sheet}});
    // Flip bytes inside the first member's compressed data.
    const std::size_t data = zip.find("a.xml") + 5 + 10;
    for (std::size_t i = 0; i < 8; ++i)
        zip[data + i] = static_cast<char>(zip[data + i] ^ 0x5A);
    TempFile file(zip, "crc.zip");
    const Outcomes outcomes = readAll(file);
    ASSERT_EQ(outcomes.size(), 2u);
    EXPECT_TRUE(outcomes[0].second.starts_with("ZIP ファイルが壊れています（"))
        << outcomes[0].second;
    EXPECT_EQ(outcomes[1], (std::pair<std::string, std::string>{":b.xml", "良"}));
}

} // namespace
} // namespace morvane
