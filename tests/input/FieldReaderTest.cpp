#include "core/RunError.h"
#include "input/CoordinateFile.h"
#include "support/MemoryFields.h"
#include "support/PointTableFixture.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace morvane {
namespace {

// Every field the reader gives until the end, joined by "|"; "~" marks a
// field that was cut.
std::string allFields(const std::string& bytes, std::size_t bufferSize = 64 * 1024,
                      std::size_t maxFieldBytes = FieldReader::MaxFieldBytes) {
    FieldReader in = test::fieldReaderOver(bytes, bufferSize, maxFieldBytes);
    std::string out;
    bool first = true;
    while (!in.atEnd()) {
        out += first ? "" : "|";
        out += in.readField();
        out += in.fieldCut() ? "~" : "";
        first = false;
    }
    return out;
}

struct FieldCase {
    const char* what;
    std::string bytes;
    std::string fields;
};

const FieldCase Cases[] = {
    {"commas", "a,b,c", "a|b|c"},
    {"CR LF, CR and LF all end a field", "a\r\nb\rc\nd", "a|b|c|d"},
    {"leading spaces and tabs are skipped", "  \t a,\tb", "a|b"},
    {"trailing spaces go, tabs stay", "a  ,b\t ,c", "a|b\t|c"},
    {"inner spaces stay", "P 1 ,x", "P 1|x"},
    {"empty fields", "a,,b", "a||b"},
    {"comma before line end gives an empty field", "a,\r\nb", "a||b"},
    {"blank line is one empty field", "a\r\n\r\nb", "a||b"},
    {"quoted field keeps commas and spaces", "\" a, b \",c", " a, b |c"},
    {"text after the closing quote is dropped", "\"ab\"cd,e", "ab|e"},
    {"quote inside an unquoted field is ordinary", "a\"b,c", "a\"b|c"},
    {"unclosed quote ends at the line end", "\"abc\r\nd,e", "abc|d|e"},
    {"empty quoted field", "\"\",x", "|x"},
    {"quoted field after spaces", "  \"q\" ,x", "q|x"},
    {"Ctrl-Z ends the file", "a,b\x1A,c,d", "a|b"},
    {"Ctrl-Z at a field start",
     "a,\x1A"
     "b",
     "a"},
    {"only spaces before the end is an empty field", "a,   ", "a|"},
    {"ideographic space is an ordinary character", "\x81\x40P\x81\x40,x", "\x81\x40P\x81\x40|x"},
    {"double-byte characters pass whole", "\x8b\xab\x8a\x45,x", "\x8b\xab\x8a\x45|x"},
    {"empty input has no field", "", ""},
    {"trailing comma and line end", "a,\r\n", "a|"},
};

TEST(FieldReader, SplitsFieldsByOneSetOfRules) {
    for (const auto& c : Cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(allFields(c.bytes), c.fields);
    }
}

TEST(FieldReader, BufferBoundariesChangeNothing) {
    // A one-byte buffer puts a refill between every pair of bytes, inside
    // quotes, before an LF that follows a CR, and before Ctrl-Z.
    for (const auto& c : Cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(allFields(c.bytes, 1), c.fields);
        EXPECT_EQ(allFields(c.bytes, 2), c.fields);
    }
}

TEST(FieldReader, ReadingPastTheEndIsError62) {
    for (const std::string bytes : {"", "a", "a,",
                                    "a\x1A"
                                    "b"}) {
        SCOPED_TRACE(bytes);
        FieldReader in = FieldReader::fromBytes(bytes);
        while (!in.atEnd())
            in.readField();
        test::expectRunError([&] { in.readField(); }, 62);
    }
}

// With room for four bytes a field.
const FieldCase CutCases[] = {
    {"a field that fills the room is whole", "abcd,x", "abcd|x"},
    {"a longer field keeps its beginning", "abcdefgh,x", "abcd~|x"},
    {"trailing spaces take no room", "ab" + std::string(100, ' ') + ",x", "ab|x"},
    {"inner spaces do", "a      b,x", "a   ~|x"},
    {"spaces inside quotes do", "\"ab    \",x", "ab  ~|x"},
    {"a long quoted field is cut, the rest after the quote dropped", "\"abcdefgh\"zz,x", "abcd~|x"},
    {"an unclosed quote still ends at the line end", "\"abcdefgh\r\ny", "abcd~|y"},
    {"Ctrl-Z still ends the file", "abcdefgh\x1A,x", "abcd~"},
    {"the next field starts afresh", "abcdefgh,ab  ,abcde", "abcd~|ab|abcd~"},
};

TEST(FieldReader, KeepsAtMostTheRoomItHasAndSaysSo) {
    for (const auto& c : CutCases) {
        SCOPED_TRACE(c.what);
        for (std::size_t bufferSize : {1, 2, 3, 64 * 1024}) {
            SCOPED_TRACE(bufferSize);
            EXPECT_EQ(allFields(c.bytes, bufferSize, 4), c.fields);
        }
    }
}

TEST(FieldReader, AFieldOfMegabytesKeepsOnlyItsBeginning) {
    // Ten buffers' worth without a delimiter, as a file with no line break.
    const std::size_t size = 10 * FieldReader::DefaultBufferSize;
    FieldReader in = FieldReader::fromBytes(std::string(size, '\0') + ",A01");
    EXPECT_EQ(in.readField().size(), FieldReader::MaxFieldBytes);
    EXPECT_TRUE(in.fieldCut());
    EXPECT_EQ(in.readField(), "A01");
    EXPECT_FALSE(in.fieldCut());
}

} // namespace
} // namespace morvane
