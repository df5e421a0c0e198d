#include "export/DataText.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

struct JsonStringCase {
    const char* what;
    std::string_view text;
    std::string_view json;
};

// Names hold whatever a field reader keeps: quotes, backslashes, tabs and
// other control characters, any script.
constexpr JsonStringCase JsonStrings[] = {
    {"plain", "KS-2", R"("KS-2")"},
    {"quote and backslash", R"(a"b\c)", R"("a\"b\\c")"},
    {"line breaks and tab", "a\r\nb\tc", R"("a\r\nb\tc")"},
    {"other control characters", std::string_view("\x01\x1f\x00", 3), R"("\u0001\u001f\u0000")"},
    {"delete is no control character for JSON", "\x7f", "\"\x7f\""},
    {"kanji stay UTF-8", "境界①", "\"境界①\""},
};

TEST(DataText, JsonStringsAreEscapedWhereJsonNeedsIt) {
    for (const auto& c : JsonStrings) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(jsonString(c.text), c.json);
    }
}

TEST(DataText, NumbersThatJsonCannotHoldAreNull) {
    EXPECT_EQ(jsonNumber(1e300 * 1e300), "null");
}

TEST(DataText, PathBytesThatAreNoUtf8BecomeReplacementCharacters) {
    EXPECT_EQ(pathText("site\xff.sim"), "site\xEF\xBF\xBD.sim");
}

} // namespace
} // namespace morvane
