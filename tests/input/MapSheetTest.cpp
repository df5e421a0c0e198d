#include "input/MapSheet.h"

#include "core/PointTable.h"
#include "core/RunError.h"
#include "input/PointSources.h"
#include "support/PointTableFixture.h"
#include "support/TestFiles.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>

#include <gtest/gtest.h>

namespace morvane {
namespace {

using test::TempFile;

// A sheet with the namespaces bound as published, the points, the naming
// elements and the coordinate system given.
std::string sheet(const std::string& points, const std::string& namers = "",
                  const std::string& system = "公共座標9系") {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<地図 xmlns=\"http://www.moj.go.jp/MINJI/tizuxml\""
           " xmlns:zmn=\"http://www.moj.go.jp/MINJI/tizuzumen\">\n"
           "<座標系>" +
           system + "</座標系>\n<空間属性>\n" + points + "</空間属性>\n<主題属性>\n" + namers +
           "</主題属性>\n</地図>\n";
}

std::string point(const std::string& id, const std::string& x, const std::string& y) {
    return "<zmn:GM_Point id=\"" + id +
           "\"><zmn:GM_Point.position><zmn:DirectPosition>"
           "<zmn:X>" +
           x + "</zmn:X><zmn:Y>" + y +
           "</zmn:Y></zmn:DirectPosition></zmn:GM_Point.position></zmn:GM_Point>\n";
}

std::string boundaryPoint(const std::string& name, const std::string& idref) {
    return "<筆界点><点番名>" + name + "</点番名><形状 idref=\"" + idref + "\"/></筆界点>\n";
}

std::string controlPoint(const std::string& name, const std::string& idref) {
    return "<基準点><名称>" + name + "</名称><形状 idref=\"" + idref + "\"/></基準点>\n";
}

class MapSheet : public test::PointTableFixture {
protected:
    MapSheetReading read(const std::string& xml, std::size_t chunk = 7) {
        data().clear();
        std::size_t offset = 0;
        // Small chunks: nothing may depend on where a read ends.
        return readMapSheet(data(), [&](char* buffer, std::size_t size) {
            const std::size_t n = std::min({size, chunk, xml.size() - offset});
            std::memcpy(buffer, xml.data() + offset, n);
            offset += n;
            return n;
        });
    }
};

TEST_F(MapSheet, RealSheetMatchesAnIndependentReading) {
    // tests/data/12103-0400-76.points.tsv comes from map_sheet_points.py
    // (ElementTree), which the ctest map_sheet_table runs again.
    const std::filesystem::path zip = MORVANE_TEST_DATA "/12103-0400-76.zip";
    const auto sources = pointSourcesOf(zip);
    ASSERT_EQ(sources.size(), 1u);
    EXPECT_EQ(sources[0].displayName(), zip.string() + ":12103-0400-76.xml");
    data().clear();
    const SourceReading reading = sources[0].read(data());
    EXPECT_EQ(reading.coordinateSystem, (CoordinateSystem{CoordinateSystem::Kind::PlaneZone, 9}));

    std::ifstream expected(MORVANE_TEST_DATA "/12103-0400-76.points.tsv");
    std::string line;
    ASSERT_TRUE(std::getline(expected, line));
    EXPECT_EQ(line, "座標系\t公共座標9系");
    std::int32_t n = 0;
    while (std::getline(expected, line)) {
        ++n;
        SCOPED_TRACE(line);
        std::istringstream fields(line);
        std::string number, name, x, y;
        std::getline(fields, number, '\t');
        std::getline(fields, name, '\t');
        std::getline(fields, x, '\t');
        std::getline(fields, y, '\t');
        ASSERT_LE(n, data().pointCount);
        EXPECT_EQ(data().numbers[n], std::stoi(number));
        EXPECT_EQ(data().names[n], toUtf16(name));
        EXPECT_EQ(data().xs[n], std::strtod(x.c_str(), nullptr));
        EXPECT_EQ(data().ys[n], std::strtod(y.c_str(), nullptr));
        EXPECT_EQ(data().sortOrder[n], n);
    }
    EXPECT_EQ(n, 610);
    EXPECT_EQ(data().pointCount, 610);
    // Every point's element opens 8 lines after the one before, from line 10.
    EXPECT_EQ(data().lines[1], 10);
    EXPECT_EQ(data().lines[610], 10 + 609 * 8);
}

TEST_F(MapSheet, NamesComeFromTheFirstElementThatRefersToThePoint) {
    // References before and after the point, both kinds, surrounding white
    // space, a point nobody names, a namer without a shape, a name too long
    // for a key where it is not kept.
    read(sheet(controlPoint("  早い \n", "P3") + point("P1", "1", "1") + point("P2", "2", "2") +
                   point("P3", "3", "3") + point("P4", "4", "4"),
               "<筆界点><点番名>形状なし</点番名></筆界点>\n" + boundaryPoint("境1", " P1 ") +
                   controlPoint("基1", "P1") + controlPoint(std::string(400, 'x'), "P1") +
                   controlPoint("基2", "P2") + boundaryPoint("遅い", "P3")));
    ASSERT_EQ(data().pointCount, 4);
    EXPECT_EQ(data().names[1], u"境1");
    EXPECT_EQ(data().names[2], u"基2");
    EXPECT_EQ(data().names[3], u"早い");
    EXPECT_EQ(data().names[4], u"");
    EXPECT_EQ(data().sortKeys[4], 0);
    EXPECT_NE(data().sortKeys[1], 0);
}

TEST_F(MapSheet, NumbersComeFromIdsThatFit) {
    struct Case {
        const char* id;
        std::int32_t number;
    };
    // From position 3 on; ids that do not fit take their position.
    const Case cases[] = {
        {"P000000026", 26}, {"P2147483647", 2147483647},
        {"P2147483648", 5}, {"Q12", 6},
        {"P", 7},           {"P12a", 8},
        {"p12", 9},         {"P-1", 10},
        {"", 11},
    };
    std::string points = point("Pfirst", "0", "0") + point("P5", "0", "0");
    for (const Case& c : cases)
        points += point(c.id, "0", "0");
    read(sheet(points));
    ASSERT_EQ(data().pointCount, 11);
    EXPECT_EQ(data().numbers[1], 1);
    EXPECT_EQ(data().numbers[2], 5);
    for (std::int32_t i = 0; i < 9; ++i) {
        SCOPED_TRACE(cases[i].id);
        EXPECT_EQ(data().numbers[i + 3], cases[i].number);
    }
}

TEST_F(MapSheet, ElementsAreKnownByNamespaceNotByPrefix) {
    // Other prefixes for the same namespaces, a default namespace on the
    // point, and look-alike elements in another namespace, which are no points
    // and name nothing.
    const std::string xml =
        "<m:地図 xmlns:m=\"http://www.moj.go.jp/MINJI/tizuxml\" "
        "xmlns:g=\"http://www.moj.go.jp/MINJI/tizuzumen\""
        " xmlns:zmn=\"urn:other\">\n"
        "<m:座標系>任意座標系</m:座標系>\n"
        "<zmn:GM_Point "
        "id=\"P7\"><zmn:DirectPosition><zmn:X>1</zmn:X><zmn:Y>1</zmn:Y></zmn:DirectPosition></"
        "zmn:GM_Point>\n"
        "<g:GM_Point id=\"P1\"><g:GM_Point.position><g:DirectPosition><g:X> 1.5 "
        "</g:X><g:Y>+2e1</g:Y>"
        "</g:DirectPosition></g:GM_Point.position></g:GM_Point>\n"
        "<GM_Point xmlns=\"http://www.moj.go.jp/MINJI/tizuzumen\" "
        "id=\"P2\"><DirectPosition><X>-3</X><Y>.5</Y>"
        "</DirectPosition></GM_Point>\n"
        "<m:右上座標><g:X>9</g:X><g:Y>9</g:Y></m:右上座標>\n"
        "<筆界点 xmlns=\"urn:other\"><点番名>偽</点番名><形状 idref=\"P1\"/></筆界点>\n"
        "<m:筆界点><m:点番名>本物</m:点番名><m:形状 idref=\"P1\"/></m:筆界点>\n"
        "</m:地図>\n";
    EXPECT_EQ(read(xml).coordinateSystem, (CoordinateSystem{CoordinateSystem::Kind::Local, 0}));
    ASSERT_EQ(data().pointCount, 2);
    EXPECT_EQ(data().names[1], u"本物");
    EXPECT_EQ(data().xs[1], 1.5);
    EXPECT_EQ(data().ys[1], 20);
    EXPECT_EQ(data().xs[2], -3);
    EXPECT_EQ(data().ys[2], 0.5);
    EXPECT_EQ(data().lines[1], 4);
    EXPECT_EQ(data().lines[2], 5);
}

TEST(MapSheetCoordinateSystem, NamesTheZone) {
    using Kind = CoordinateSystem::Kind;
    struct Case {
        std::u16string_view text;
        CoordinateSystem system;
    };
    const Case cases[] = {
        {u"公共座標9系", {Kind::PlaneZone, 9}},
        {u"公共座標19系", {Kind::PlaneZone, 19}},
        {u"公共座標１系", {Kind::PlaneZone, 1}},
        {u"任意座標系", {Kind::Local, 0}},
        {u"公共座標0系", {}},
        {u"公共座標20系", {}},
        {u"公共座標系", {}},
        {u"公共座標100系", {}},
        {u"", {}},
        {u"平面直角座標9系", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(toUtf8(c.text));
        EXPECT_EQ(statedCoordinateSystem(c.text), c.system);
    }
}

TEST_F(MapSheet, BadSheetsSayWhatAndWhere) {
    struct Case {
        const char* what;
        std::string xml;
        std::int32_t number;
        std::u16string message;
        std::int32_t line;
    };
    const std::string good = point("P1", "1", "1");
    // Characters, not bytes: 3 bytes each in UTF-8.
    const std::string longId = toUtf8(u"P" + std::u16string(999, u'点'));
    const std::u16string shownId = u"P" + std::u16string(39, u'点') + u"…（1000 文字）";
    const Case cases[] = {
        {"not well-formed", sheet(good + "<a></b>\n"), 0,
         u"XML の形式が正しくありません（mismatched tag）。", 6},
        {"empty", "", 0, u"XML の形式が正しくありません（no element found）。", 1},
        {"cut short", sheet(good).substr(0, sheet(good).find("<zmn:Y>") + 3), 0,
         u"XML の形式が正しくありません（unclosed token）。", 5},
        {"no X",
         sheet("<zmn:GM_Point id=\"P5\">\n<zmn:DirectPosition><zmn:Y>1</zmn:Y>"
               "</zmn:DirectPosition></zmn:GM_Point>\n"),
         0, u"点 P5 に X 座標がありません。", 5},
        {"no Y, no id",
         sheet(good + "<zmn:GM_Point><zmn:DirectPosition><zmn:X>1</zmn:X>"
                      "</zmn:DirectPosition></zmn:GM_Point>\n"),
         0, u"2 番目の点に Y 座標がありません。", 6},
        {"Y not a number", sheet(good + point("P2", "1", "1,5")), 0,
         u"点 P2 の Y 座標が数値ではありません（1,5）。", 6},
        {"long X not a number", sheet(point("P2", std::string(100, '9') + "x", "1")), 0,
         u"点 P2 の X 座標が数値ではありません（" + std::u16string(40, u'9') + u"…（101 文字））。",
         5},
        {"X infinite", sheet(point("P2", "INF", "1")), 0,
         u"点 P2 の X 座標が数値ではありません（INF）。", 5},
        {"X beyond a double", sheet(point("P2", "1e400", "1")), 6, u"オーバーフローしました。", 5},
        {"two X",
         sheet("<zmn:GM_Point id=\"P2\"><zmn:DirectPosition><zmn:X>1</zmn:X><zmn:X>2</zmn:X>"
               "<zmn:Y>1</zmn:Y></zmn:DirectPosition></zmn:GM_Point>\n"),
         0, u"点 P2 に X 座標が二つ以上あります。", 5},
        {"id twice", sheet(good + "\n" + point("P1", "2", "2")), 0,
         u"id P1 の点が二つ以上あります。", 7},
        {"long id twice", sheet(point(longId, "1", "1") + point(longId, "2", "2")), 0,
         u"id " + shownId + u" の点が二つ以上あります。", 6},
        {"long id refers to no point", sheet(good, boundaryPoint("a", longId)), 0,
         u"参照先の点 " + shownId + u" がありません。", 8},
        {"id too long", sheet(good + point(std::string(70000, 'P'), "1", "1")), 6,
         u"オーバーフローしました。", 6},
        {"reference too long",
         sheet(good + "<zmn:GM_PointRef.point idref=\"" + std::string(70000, 'P') + "\"/>\n"), 6,
         u"オーバーフローしました。", 6},
        {"name refers to no point",
         sheet(good, boundaryPoint("a", "P1") + boundaryPoint("b", "P9")), 0,
         u"参照先の点 P9 がありません。", 9},
        {"line refers to no point",
         sheet(good + "<zmn:GM_PointRef.point idref=\"P8\"/>\n", controlPoint("x", "P7")), 0,
         u"参照先の点 P8 がありません。", 6},
        {"name too long", sheet(good + "\n\n", boundaryPoint(std::string(70000, 'a'), "P1")), 6,
         u"オーバーフローしました。", 10},
        // Too long for a key: where the name is, as soon as it is kept.
        {"name too long for a key", sheet(good + "\n", boundaryPoint(std::string(400, 'a'), "P1")),
         6, u"名称が長すぎます（400 文字）。", 9},
        {"name too long for a key before its point",
         sheet(controlPoint(std::string(400, 'a'), "P1") + "\n" + good), 6,
         u"名称が長すぎます（400 文字）。", 5},
        {"name too long for a key before bad XML",
         sheet(good, boundaryPoint(std::string(400, 'a'), "P1") + "<a></b>\n"), 6,
         u"名称が長すぎます（400 文字）。", 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            read(c.xml);
            ADD_FAILURE() << "no error";
        } catch (const RunError& e) {
            EXPECT_EQ(e.number(), c.number);
            EXPECT_EQ(toUtf8(e.message()), toUtf8(c.message));
            EXPECT_EQ(e.place().line, c.line);
        }
    }
}

// A sheet made as it is read, so that a long one takes no memory: the text
// before "@" in xml, then `count` copies of one byte, then the text after.
// Requests are served whole, and counted.
struct GeneratedSheet {
    GeneratedSheet(const std::string& xml, char filler, std::uint64_t count)
        : head(xml.substr(0, xml.find('@'))), tail(xml.substr(xml.find('@') + 1)), filler(filler),
          count(count) {}

    std::size_t operator()(char* buffer, std::size_t size) {
        ++reads;
        const std::uint64_t end = head.size() + count + tail.size();
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(size, end - served));
        for (std::size_t i = 0; i < n; ++i, ++served)
            buffer[i] = served < head.size()           ? head[served]
                        : served < head.size() + count ? filler
                                                       : tail[served - head.size() - count];
        return n;
    }

    std::string head, tail;
    char filler;
    std::uint64_t count;
    std::uint64_t served = 0;
    std::size_t reads = 0;
};

// An attribute in a namer, and a comment before one.
const std::string attributeAt = sheet(
    point("P1", "1", "1"), "<筆界点 備考=\"@\"><点番名>境</点番名><形状 idref=\"P1\"/></筆界点>\n");
const std::string commentAt =
    sheet(point("P1", "1", "1"), "\n<!--@-->" + boundaryPoint("境", "P1"));

TEST_F(MapSheet, LongTokensAreReadInGrowingPiecesUpToTheLimit) {
    // Expat scans an unfinished token again on every call: each read at
    // least doubles what it has of one, where 64 KiB reads would take 192 for
    // 12 MiB. Past 16 MiB a token is refused soon, at the line where it
    // starts, whatever line feeds it holds.
    struct Case {
        const std::string& xml;
        char filler;
        std::uint64_t mebibytes;
        std::int32_t errorLine;
    };
    const Case cases[] = {{attributeAt, 'a', 12, 0},
                          {commentAt, 'a', 12, 0},
                          {attributeAt, 'a', 200, 8},
                          {attributeAt, '\n', 200, 8},
                          {commentAt, 'a', 200, 9}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.xml + " " + std::to_string(c.mebibytes) + " MiB");
        GeneratedSheet source(c.xml, c.filler, c.mebibytes << 20);
        try {
            data().clear();
            readMapSheet(data(), std::ref(source));
            EXPECT_EQ(c.errorLine, 0);
            EXPECT_EQ(data().names[1], u"境");
            EXPECT_LT(source.reads, 30u);
        } catch (const RunError& e) {
            EXPECT_EQ(toUtf8(e.message()),
                      "XML の一つのタグやコメントの長さが上限（16 MiB）を超えています。");
            EXPECT_EQ(e.place().line, c.errorLine);
            EXPECT_LT(source.served, std::uint64_t{17} << 20);
        }
    }
}

TEST_F(MapSheet, SaysTheEncodingItWasReadIn) {
    const std::u16string text = toUtf16(sheet(point("P1", "1", "1"), boundaryPoint("境", "P1")));
    std::u16string utf16Text = text;
    utf16Text.replace(utf16Text.find(u"UTF-8"), 5, u"UTF-16");
    struct Case {
        const char* encoding;
        std::string bytes;
    };
    const Case cases[] = {
        {"UTF-8", test::savedAs(FileEncoding::Utf8, text)},
        {"UTF-8 with BOM", test::savedAs(FileEncoding::Utf8WithBom, text)},
        {"UTF-16LE", test::savedAs(FileEncoding::Utf16Le, utf16Text)},
        {"UTF-16BE", test::savedAs(FileEncoding::Utf16Be, utf16Text)},
        // Without a byte order mark, "<" as two bytes tells the order.
        {"UTF-16BE", test::savedAs(FileEncoding::Utf16Be, utf16Text).substr(2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.encoding);
        EXPECT_EQ(read(c.bytes).encoding, c.encoding);
        ASSERT_EQ(data().pointCount, 1);
        EXPECT_EQ(data().names[1], u"境");
    }
    EXPECT_EQ(read("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?><a>\xE9</a>").encoding,
              "ISO-8859-1");

    // As the run's summary has it.
    const TempFile file(cases[2].bytes, "sheet.xml");
    data().clear();
    EXPECT_EQ(pointSourcesOf(file.path()).at(0).read(data()).encoding, "UTF-16LE");
}

TEST_F(MapSheet, StopsBeyondTheTableCapacity) {
    std::string points;
    points.reserve(std::size_t{TableCapacity + 1} * 80);
    for (std::int32_t i = 0; i <= TableCapacity; ++i)
        points += "<zmn:GM_Point><zmn:DirectPosition><zmn:X>1</zmn:X><zmn:Y>2</zmn:Y>"
                  "</zmn:DirectPosition></zmn:GM_Point>\n";
    try {
        read(sheet(points), 64 * 1024);
        ADD_FAILURE() << "no error";
    } catch (const RunError& e) {
        EXPECT_EQ(toUtf8(e.message()), "座標数が上限（499999点）を超えています。");
        EXPECT_EQ(e.place().line, 5 + TableCapacity);
    }
}

} // namespace
} // namespace morvane
