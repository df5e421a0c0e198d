#include "support/Process.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

using test::runProcess;
using test::TempFile;

struct RefusedCase {
    const char* what;
    std::vector<std::string> args;
    const char* says;
};

// Refused before any file is read: the missing file is never mentioned.
TEST(DataFormatCommand, CombinationsWithoutSenseAreRefused) {
    const RefusedCase cases[] = {
        {"unknown format", {"--format", "xml"}, "--format takes"},
        {"geojson without a zone or a map sheet", {"--format", "geojson"}, "needs --zone N"},
        {"zone 0", {"--format", "geojson", "--zone", "0"}, "--zone takes"},
        {"zone 20", {"--format", "geojson", "--zone", "20"}, "--zone takes"},
        {"zone with trailing text", {"--format", "geojson", "--zone", "9x"}, "--zone takes"},
        {"zone without geojson", {"--zone", "9"}, "only to --format geojson"},
        {"list with csv", {"--format", "csv", "--list"}, "--list"},
        {"crlf with json", {"--format=json", "--crlf"}, "--crlf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto args = c.args;
        args.push_back("missing.sim");
        const auto r = runProcess(MORVANE_CHECK_EXE, args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("missing.sim"), std::string::npos) << r.err;
    }
}

TEST(DataFormatCommand, APointProjCannotPlaceIsAnErrorOfItsLine) {
    TempFile far("A01,1,P1,100,200,\r\nA01,2,P1,50000000,50000000,\r\n");
    const auto r = runProcess(MORVANE_CHECK_EXE,
                              {"-q", "--format", "geojson", "--zone", "9", far.path().string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "{\"type\":\"FeatureCollection\",\"features\":[\n]}\n");
    EXPECT_EQ(r.err.rfind("morvane-check: " + far.path().string() + ":2: PROJ cannot convert", 0),
              0u)
        << r.err;
}

} // namespace
} // namespace morvane
