#include "input/CoordinateReader.h"

#include "core/PointTable.h"
#include "core/RunError.h"
#include "core/Text.h"
#include "input/CoordinateFile.h"
#include "support/PointTableFixture.h"
#include "support/TestFiles.h"
#include "support/TestPoints.h"

#include <memory>
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace morvane {
namespace {

using test::cp932;
using test::separatePoints;
using test::simaFileOf;
using test::TempFile;

class CoordinateReader : public test::PointTableFixture {
protected:
    PointTable& read(const std::string& bytes) {
        PointTable& d = data();
        d.pointCount = 0;
        for (std::int32_t i = 1; i <= 10; ++i)
            d.sortKeys[i] = 0;
        FieldReader in = FieldReader::fromBytes(bytes);
        readCoordinates(d, in);
        return d;
    }

    // The error reading the bytes stops with; none when they read.
    std::optional<RunError> readError(const std::string& bytes) {
        try {
            read(bytes);
        } catch (const RunError& e) {
            return e;
        }
        return std::nullopt;
    }
};

TEST_F(CoordinateReader, ReadsBothRecordKindsInFileOrder) {
    PointTable& d = read(cp932(u"G00,01,現場,\r\n"
                               u"A01,7,境1,-42102.345,12544.218,15.320,\r\n"
                               u"Z,8,T2,10.5,-3,\r\n"));
    ASSERT_EQ(d.pointCount, 2);
    EXPECT_EQ(d.numbers[1], 7);
    EXPECT_EQ(d.names[1], u"境1");
    EXPECT_EQ(d.xs[1], -42102.345);
    EXPECT_EQ(d.ys[1], 12544.218);
    EXPECT_EQ(d.numbers[2], 8);
    EXPECT_EQ(d.names[2], u"T2");
    EXPECT_EQ(d.xs[2], 10.5);
    EXPECT_EQ(d.ys[2], -3);
    EXPECT_EQ(d.sortOrder[1], 1);
    EXPECT_EQ(d.sortOrder[2], 2);
    EXPECT_EQ(d.sortKeys[2], 84 * 10 + 50);
}

TEST_F(CoordinateReader, KeepsTheLineEachRecordStartsOn) {
    // CR, LF and CR LF each end a line.
    PointTable& d = read(cp932(u"G00,01,現場\r\n\nA01,1,a,1,1,\rX,\r\nZ,2,b,2,2,\nA01,3,c,3,3\n"));
    ASSERT_EQ(d.pointCount, 3);
    EXPECT_EQ(d.lines[1], 3);
    EXPECT_EQ(d.lines[2], 5);
    EXPECT_EQ(d.lines[3], 6);
}

TEST_F(CoordinateReader, TrimsA01NamesOnly) {
    PointTable& d = read(cp932(u"A01,1,\"  P1  \",0,0,\r\n"
                               u"Z,2,\"  P1  \",0,0,\r\n"
                               u"A01,3,\"\u3000P3\u3000\",0,0,\r\n"
                               u"A01,4,\"\tP4\",0,0,\r\n"));
    ASSERT_EQ(d.pointCount, 4);
    EXPECT_EQ(d.names[1], u"P1");
    EXPECT_EQ(d.names[2], u"  P1  ");
    EXPECT_EQ(d.names[3], u"P3");
    EXPECT_EQ(d.names[4], u"\tP4"); // a tab is not a space here
    // The key is the stored name's: trimmed for "A01", as read for "Z".
    EXPECT_EQ(d.sortKeys[1], 80 * 10 + 49);
    EXPECT_NE(d.sortKeys[2], d.sortKeys[1]);
}

TEST_F(CoordinateReader, TagsAreWholeExactFieldsAnywhere) {
    PointTable& d = read("A01,1,Z,1,2,A01,2,A01,3,4,\r\n"
                         "a01,9,x,0,0,\r\nZ0,9,x,0,0,\r\nA011,9,x,0,0,\r\n Z ,5,q,6,7\r\n");
    ASSERT_EQ(d.pointCount, 3);
    EXPECT_EQ(d.names[1], u"Z"); // a tag's text in the name position is a name
    EXPECT_EQ(d.numbers[2], 2);  // the field after Y starts a record
    EXPECT_EQ(d.names[2], u"A01");
    EXPECT_EQ(d.numbers[3], 5); // spaces around a tag are not part of it
}

TEST_F(CoordinateReader, PointNumbersUseTheLeadingNumber) {
    PointTable& d = read("A01,abc,P,1,2\r\nA01,2.5x,P,1,2\r\nA01,3.5,P,1,2\r\n");
    ASSERT_EQ(d.pointCount, 3);
    EXPECT_EQ(d.numbers[1], 0);
    EXPECT_EQ(d.numbers[2], 2);
    EXPECT_EQ(d.numbers[3], 4);
}

struct CoordinateCase {
    const char* what;
    std::u16string field;
    double value;
};

TEST_F(CoordinateReader, CoordinatesAreWholeNumbersOrEmpty) {
    const CoordinateCase cases[] = {
        {"plain", u"-42102.345", -42102.345},
        {"spaces around and inside", u"\" 1 234.5 \"", 1234.5},
        {"exponent with D", u"1.5D2", 150},
        {"hexadecimal", u"&H10", 16},
        {"full-width, as an input method types it", u"－４２１００．０００", -42100},
        {"full-width sign and exponent", u"＋１．５Ｅ２", 150},
        {"full-width spaces around", u"\"\u3000１２\u3000\"", 12},
        {"empty", u"", 0},
        {"spaces only", u"\"   \"", 0},
        {"full-width spaces only", u"\u3000\u3000", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PointTable& d = read(
            cp932(u"A01,1,P," + c.field + u"," + c.field + u"\r\nZ,2,Q,3," + c.field + u"\r\n"));
        ASSERT_EQ(d.pointCount, 2);
        EXPECT_EQ(d.xs[1], c.value);
        EXPECT_EQ(d.ys[1], c.value);
        EXPECT_EQ(d.ys[2], c.value);
    }
}

struct UnreadableCase {
    std::u16string record;
    std::u16string message;
};

TEST_F(CoordinateReader, ACoordinateThatIsNotANumberNamesTheLineAndTheText) {
    const std::u16string fifty(50, u'9');
    const UnreadableCase cases[] = {
        {u"A01,2,P,abc,1", u"A01 レコードの X 座標「abc」を数値として読めません。"},
        {u"A01,2,P,1,1.5m", u"A01 レコードの Y 座標「1.5m」を数値として読めません。"},
        {u"Z,2,P,nan,1", u"Z レコードの X 座標「nan」を数値として読めません。"},
        {u"A01,2,P,1e,1", u"A01 レコードの X 座標「1e」を数値として読めません。"},
        {u"A01,2,P,１２ａ,1", u"A01 レコードの X 座標「１２ａ」を数値として読めません。"},
        {u"A01,2,P,\"\u3000 1,2 \",1", u"A01 レコードの X 座標「1,2」を数値として読めません。"},
        {u"A01,2,P,1," + fifty + u"x", u"A01 レコードの Y 座標「" + fifty.substr(0, 40) +
                                           u"…（51 文字）」を数値として読めません。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(toUtf8(c.record));
        const auto error = readError(cp932(u"A01,1,P,1,1\r\n" + c.record + u"\r\n"));
        ASSERT_TRUE(error);
        EXPECT_EQ(error->number(), 0);
        EXPECT_EQ(error->message(), c.message);
        EXPECT_EQ(error->place().line, 2);
    }
}

TEST_F(CoordinateReader, HeadersOnlyAndForeignFilesGiveNoPoints) {
    EXPECT_EQ(read("").pointCount, 0);
    EXPECT_EQ(read("G00,01,x,\r\nZ00,y,\r\nA00,\r\nA99,\r\n").pointCount, 0);
    // The corner coordinates of a raster: a ".sim" file that is no coordinate file.
    EXPECT_EQ(read("0.5\n0.0\n0.0\n-0.5\n139.5\n35.7\n").pointCount, 0);
}

TEST_F(CoordinateReader, EndInsideARecordIsError62) {
    for (const std::string bytes :
         {"A01", "A01,1", "A01,1,P", "A01,1,P,2", "A01,1,P,2,", "Z,1,P,2\x1A,3"}) {
        SCOPED_TRACE(bytes);
        test::expectRunError([&] { read(bytes); }, 62);
    }
    EXPECT_EQ(read("A01,1,P,2,3").pointCount, 1); // Y may end the file
}

struct ShortRecordCase {
    const char* what;
    std::string bytes;
    std::int32_t line;
    std::u16string message;
};

TEST_F(CoordinateReader, ARecordEndsOnItsLine) {
    const ShortRecordCase cases[] = {
        // Taking the next line's tag as Y would swallow P3 and lose both close pairs.
        {"no Y, mid-file",
         "A01,1,P1,-100.000,200.000\r\nA01,2,P1,-100.000,200.000\r\nA01,3,P2,-100.010\r\n"
         "A01,4,P3,-100.010,200.000\r\nA01,5,P3,-100.010,200.000\r\n",
         3, u"A01 レコードに Y 座標がありません。"},
        {"no point number", "A01\nA01,1,P,1,2\n", 1, u"A01 レコードに点番号がありません。"},
        {"no name", "G00,01,x\rZ,1\rZ,2,P,1,2\r", 2, u"Z レコードに名称がありません。"},
        {"no X, the last line", "A01,1,P,1,2\r\nZ,2,P\r\n", 2,
         u"Z レコードに X 座標がありません。"},
        {"an unclosed quote ends at the line end", "A01,1,\"P,1,2\r\nA01,2,P,1,2\r\n", 1,
         u"A01 レコードに X 座標がありません。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto error = readError(c.bytes);
        ASSERT_TRUE(error);
        EXPECT_EQ(error->number(), 0);
        EXPECT_EQ(error->message(), c.message);
        EXPECT_EQ(error->place().line, c.line);
    }
    // More fields than a record has, or a comma before the line end, are no fault.
    EXPECT_EQ(read("A01,1,P,1,2,3,4\r\nZ,2,P,1,\r\nA01,3,P,1,2,\r\n").pointCount, 3);
}

TEST_F(CoordinateReader, StopsBeforeTheTableOverflows) {
    EXPECT_EQ(read(simaFileOf(separatePoints(TableCapacity))).pointCount, TableCapacity);
    try {
        read(simaFileOf(separatePoints(TableCapacity + 1)));
        FAIL() << "no error";
    } catch (const RunError& e) {
        EXPECT_EQ(e.message(), u"座標数が上限（499999点）を超えています。");
    }
}

struct LongFieldCase {
    const char* what;
    std::string bytes;
    std::int32_t points; // -1: error 6
};

TEST_F(CoordinateReader, FieldsLongerThanTheReaderKeepsAreSkippedOrOverflow) {
    const std::string longer(FieldReader::MaxFieldBytes + 1, '0');
    const std::string spaces(3 * FieldReader::MaxFieldBytes, ' ');
    const LongFieldCase cases[] = {
        {"a long header field is skipped", longer + ",A01,1,P,2,3", 1},
        {"a tag padded with spaces is still a tag", "A01" + spaces + ",1,P,2,3", 1},
        {"a number padded with spaces is still the number", "A01,1" + spaces + ",P,2,3", 1},
        {"a long point number", "A01," + longer + "1,P,2,3", -1},
        {"a long name", "Z,1," + std::string(FieldReader::MaxFieldBytes + 1, 'N') + ",2,3", -1},
        {"a long coordinate", "A01,1,P,0." + longer + "1,3", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.points < 0)
            test::expectRunError([&] { read(c.bytes); }, 6);
        else
            EXPECT_EQ(read(c.bytes).pointCount, c.points);
    }
    // The error names the field that was too long.
    const auto longName =
        readError("Z,1," + std::string(FieldReader::MaxFieldBytes + 1, 'N') + ",2,3");
    ASSERT_TRUE(longName);
    EXPECT_EQ(longName->message(), u"Z レコードの名称が長すぎます（65536 バイトを超えています）。");
}

struct OpenCase {
    const char* what;
    std::filesystem::path path;
    std::int32_t number;
};

TEST(CoordinateFile, RefusesWhatCannotBeReadBeforeReading) {
    TempFile file("A01,1,P,1,2\r\n");
    const OpenCase cases[] = {
        {"missing file", file.folder() / "missing.sim", 53},
        {"empty path", "", 53},
        {"a folder", file.folder(), 75},
        {"a device that never ends", "/dev/zero", 75},
        {"below a file", file.path() / "x", 75},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::expectRunError([&] { CoordinateFile f(c.path); }, c.number);
    }
}

TEST(CoordinateFile, FifoIsRefusedWithoutWaitingForAWriter) {
    TempFile file("");
    const auto fifo = file.folder() / "pipe.sim";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    test::expectRunError([&] { CoordinateFile f(fifo); }, 75);
}

// Opens the file as an ordinary user (root reads every file): the child's exit
// status is the error number, 0 when it opened.
int openAsUnprivilegedUser(const std::filesystem::path& path) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(100);
        try {
            CoordinateFile f(path);
            _exit(0);
        } catch (const RunError& e) {
            _exit(e.number());
        }
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(CoordinateFile, UnreadableFileIsError70) {
    TempFile file("A01,1,P,1,2\r\n");
    std::filesystem::permissions(file.path(), std::filesystem::perms::none);
    EXPECT_EQ(openAsUnprivilegedUser(file.path()), 70);
}

TEST(CoordinateFile, ReadsARegularFileToItsEnd) {
    TempFile file(cp932(u"A01,1,境1,1,2\r\n"));
    CoordinateFile f(file.path());
    std::vector<std::string> fields;
    while (!f.fields().atEnd())
        fields.emplace_back(f.fields().readField());
    EXPECT_EQ(fields, (std::vector<std::string>{"A01", "1", cp932(u"境1"), "1", "2"}));
}

constexpr FileEncoding Encodings[] = {FileEncoding::Cp932, FileEncoding::Utf8,
                                      FileEncoding::Utf8WithBom, FileEncoding::Utf16Le,
                                      FileEncoding::Utf16Be};

class EncodedFile : public test::PointTableFixture {
protected:
    // Opens the file as a run does and reads it into the table.
    FileEncoding read(const std::string& bytes, EncodingChoice choice = EncodingChoice::Auto) {
        TempFile file(bytes);
        data().clear();
        CoordinateFile in(file.path(), choice);
        readCoordinates(data(), in.fields(), in.fieldEncoding());
        return in.encoding();
    }
};

TEST_F(EncodedFile, EveryEncodingGivesTheSamePoints) {
    // The first record starts the file, so a mark that stuck to it would lose it.
    const std::u16string text = u"A01,1,境界1,-42102.345,12544.218,\r\n"
                                u"Z,2,ｻﾝｶｸ,10.5,-3,\r\n"
                                u"A01,3,\u3000道\u3000,0,0,\r\n";
    for (FileEncoding encoding : Encodings) {
        SCOPED_TRACE(encodingName(encoding));
        ASSERT_EQ(read(test::savedAs(encoding, text)), encoding);
        PointTable& d = data();
        ASSERT_EQ(d.pointCount, 3);
        EXPECT_EQ(d.names[1], u"境界1");
        EXPECT_EQ(d.names[2], u"ｻﾝｶｸ");
        EXPECT_EQ(d.names[3], u"道");
        EXPECT_EQ(d.xs[1], -42102.345);
        EXPECT_EQ(d.ys[2], -3);
        // The code page 932 codes, whatever the file's encoding.
        EXPECT_EQ(d.sortKeys[2], 187 * 1000 + 221 * 100 + 182 * 10 + 184);
    }
}

TEST_F(EncodedFile, HalfWidthKatakanaThatAreUtf8AreGuessedWrongUnlessToldSo) {
    const std::string bytes = "A01,1,\xC3\xB1,1,2\r\n";
    EXPECT_EQ(read(bytes), FileEncoding::Utf8);
    EXPECT_EQ(data().names[1], u"ñ");
    EXPECT_EQ(read(bytes, EncodingChoice::Cp932), FileEncoding::Cp932);
    EXPECT_EQ(data().names[1], u"ﾃｱ");
}

TEST_F(EncodedFile, CtrlZEndsTheTextAsACharacterOnly) {
    for (FileEncoding encoding : Encodings) {
        SCOPED_TRACE(encodingName(encoding));
        // U+4E1A holds a 0x1A byte in UTF-16 and none in UTF-8; it has no code
        // page 932 form, so the code page 932 file has a stand-in.
        const std::u16string name = encoding == FileEncoding::Cp932 ? u"?" : u"\u4E1A";
        read(test::savedAs(encoding, u"A01,1,P1,1,1,\r\nA01,2," + name +
                                         u",2,2,\r\n\x1A"
                                         u"A01,3,P3,3,3,\r\n"));
        EXPECT_EQ(data().pointCount, 2);
        EXPECT_EQ(data().names[2], name);
    }
}

TEST_F(EncodedFile, IllFormedBytesBecomeReplacementCharacters) {
    const struct {
        const char* what;
        std::string bytes;
        EncodingChoice choice;
        std::u16string name;
    } cases[] = {
        {"UTF-8, one for each maximal part", "A01,1,\xE5\xA2\xE0\x80P,0,0", EncodingChoice::Utf8,
         u"\uFFFD\uFFFD\uFFFDP"},
        {"UTF-16, one for each unpaired surrogate",
         test::savedAs(FileEncoding::Utf16Le, u"A01,1,\xDC00\xD800P,0,0"), EncodingChoice::Auto,
         u"\uFFFD\uFFFDP"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        read(c.bytes, c.choice);
        EXPECT_EQ(data().names[1], c.name);
    }
}

} // namespace
} // namespace morvane
