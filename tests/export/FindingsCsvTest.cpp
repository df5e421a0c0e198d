#include "export/FindingsCsv.h"

#include "core/FileFindings.h"

#include <limits>
#include <sstream>

#include <gtest/gtest.h>

namespace morvane {
namespace {

struct CsvFieldCase {
    const char* what;
    std::string_view text;
    std::string_view field;
};

constexpr CsvFieldCase CsvFields[] = {
    {"plain", "KS-2", "KS-2"},
    {"empty", "", ""},
    {"comma", "a,b", R"("a,b")"},
    {"quotes doubled", R"(say "x")", R"("say ""x""")"},
    {"line feed", "a\nb", "\"a\nb\""},
    {"carriage return alone", "a\rb", "\"a\rb\""},
    {"spaces and tabs need no quotes", " a\tb ", " a\tb "},
    {"kanji", "境界", "境界"},
};

TEST(FindingsCsv, FieldsAreQuotedWhenTheyMustBe) {
    for (const auto& c : CsvFields) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(csvField(c.text), c.field);
    }
}

// The bytes the window saves: byte order mark, header, CR LF, numbers in
// plain decimals with every digit, a distance beyond a double left empty.
TEST(FindingsCsv, AFileIsHeaderAndARowAFinding) {
    FileFindings file;
    file.summary.file = "現場/a,b.sim";
    file.findings = {
        {FindingKind::DuplicateName,
         0.03705401462758136,
         {43, "道3", -42193.449, 12633.82, 25},
         {45, "道3", -42193.451, 12633.857, 27}},
        {FindingKind::CoincidentPoint,
         std::numeric_limits<double>::infinity(),
         {1, "say \"x\"", -1e-7, 1e21, 1},
         {2, "", 0, 0, 2}},
    };
    std::ostringstream out;
    writeFindingsCsv(out, file);
    EXPECT_EQ(out.str(),
              "\xEF\xBB\xBF"
              "file,kind,distance,number1,name1,x1,y1,line1,number2,name2,x2,y2,line2\r\n"
              "\"現場/a,b.sim\",duplicate_name,0.03705401462758136,43,道3,-42193.449,12633.82,25,"
              "45,道3,-42193.451,12633.857,27\r\n"
              "\"現場/a,b.sim\",coincident_point,,1,\"say \"\"x\"\"\",-0.0000001,"
              "1000000000000000000000,1,2,,0,0,2\r\n");
}

} // namespace
} // namespace morvane
