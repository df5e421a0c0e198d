#include "support/Process.h"
#include "support/TestFiles.h"
#include "support/TestPoints.h"

#include <filesystem>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <gtest/gtest.h>

namespace morvane {
namespace {

namespace fs = std::filesystem;
using test::countLines;
using test::findingPairs;
using test::readFile;
using test::runProcess;
using test::separatePoints;
using test::simaFile;
using test::simaFileOf;
using test::TempFile;

// Quiet: these tests look at reports and errors, SummaryFollowsEachReport at
// the summary.
test::ProcessResult check(std::vector<std::string> args) {
    args.insert(args.begin(), "--quiet");
    return runProcess(MORVANE_CHECK_EXE, args);
}

const std::string Example = std::string(MORVANE_EXAMPLES) + "/sample.sim";

TEST(CheckCommand, ReportsTheExampleFile) {
    const auto r = check({Example});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, readFile(std::string(MORVANE_TEST_DATA) + "/sample.expected.txt"));
    EXPECT_EQ(r.err, "");
}

TEST(CheckCommand, SummaryFollowsEachReport) {
    auto r = runProcess(MORVANE_CHECK_EXE, {Example});
    EXPECT_EQ(r.err, "morvane-check: " + Example +
                         ": CP932, 25 points, 3 duplicate names, 4 coincident points, "
                         "band 0 ≤ d < 0.05\n");

    TempFile one(simaFile({u"A01,1,P1,100,200,", u"A01,2,P2,300,400,"}));
    r = runProcess(MORVANE_CHECK_EXE,
                   {"--tolerance", "０．０５", "--lower", "0.05", one.path().string()});
    EXPECT_EQ(r.err, "morvane-check: " + one.path().string() +
                         ": CP932, 2 points, 0 duplicate names, 0 coincident points, "
                         "band 0.05 ≤ d < 0.05 (empty: no coincident points can be found)\n");

    TempFile many(simaFileOf(findingPairs(1100, 0)));
    r = runProcess(MORVANE_CHECK_EXE, {many.path().string()});
    EXPECT_NE(r.err.find(": CP932, 2200 points, 1001 duplicate names, 0 coincident points, band 0 "
                         "≤ d < 0.05, duplicate-name check stopped after too many findings\n"),
              std::string::npos)
        << r.err;
    // Errors still show when the summary is left out.
    r = runProcess(MORVANE_CHECK_EXE, {"--quiet", Example, "missing.sim"});
    EXPECT_EQ(r.err, "morvane-check: missing.sim: 実行時エラー '53': ファイルが見つかりません。\n");
}

// An empty number reads as 0, which is no number; the summary counts only
// the checks made.
TEST(CheckCommand, CheckOptionChoosesTheChecksAndTheSummaryNamesThem) {
    TempFile file(
        simaFile({u"A01,12,,100,200,", u"A01,12,,130,200,", u"A01,,,5,5,", u"A01,0,,6,6,"}));
    const std::string path = file.path().string();
    EXPECT_EQ(check({path}).status, 0);
    // "numbers" alone turns the check on beside the default two.
    for (const char* checks : {"--check=numbers", "--check=names,coincident,numbers"}) {
        const auto r = runProcess(MORVANE_CHECK_EXE, {checks, path});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(countLines(r.out, "同一点番号"), 1u);
        EXPECT_EQ(r.err, "morvane-check: " + path +
                             ": CP932, 4 points, 0 duplicate names, 0 coincident points, "
                             "band 0 ≤ d < 0.05, 1 duplicate number\n");
    }
    const auto r = runProcess(MORVANE_CHECK_EXE, {"--check", "names,numbers", path});
    EXPECT_EQ(r.err, "morvane-check: " + path +
                         ": CP932, 4 points, 0 duplicate names, 1 duplicate number\n");
}

TEST(CheckCommand, FullWidthFieldsGiveTheSameReport) {
    const auto ascii = check({"--tolerance", "0.05", "--lower", "0.001", Example});
    const auto wide = check({"--tolerance", "０．０５", "--lower", "０．００１", Example});
    EXPECT_EQ(wide.out, ascii.out);
    EXPECT_EQ(wide.status, 1);
}

TEST(CheckCommand, CrlfGivesTheWindowsResultTextExactly) {
    TempFile file(simaFile({u"A01,1,P1,100,200,", u"A01,2,P1,103,204,"}));
    const auto r = check({"--crlf", file.path().string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "同一名称\r\n"
                     "     1  P1             100.000   200.000  較差 5.000\r\n"
                     "     2  P1             103.000   204.000\r\n"
                     "\r\n");
}

TEST(CheckCommand, ListPrintsTheResultItems) {
    TempFile clean(simaFile({u"A01,1,P1,100,200,"}));
    auto r = check({"--list", clean.path().string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "同一座標はありませんでした\n");

    TempFile pair(simaFile({u"A01,1,P1,100,200,", u"A01,2,P2,100,200.01,"}));
    r = check({"--list", pair.path().string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "同位置座標\n"
                     "     1  P1             100.000   200.000  較差 0.010\n"
                     "     2  P2             100.000   200.010\n"
                     " \n");
}

TEST(CheckCommand, FieldsAreReadLikeTheWindowFields) {
    TempFile file(simaFile({u"A01,1,P1,100,200,", u"A01,2,P2,100,200.3,"}));
    // 0.3 apart: found with tolerance 0.5, not with the default 0.05.
    EXPECT_EQ(check({file.path().string()}).status, 0);
    EXPECT_EQ(check({"--tolerance", "0.5", file.path().string()}).status, 1);
    EXPECT_EQ(check({"--tolerance=０．５", file.path().string()}).status, 1);
    EXPECT_EQ(check({"--tolerance", "0.5", "--lower", "0.31", file.path().string()}).status, 0);

    // Out of range: back to 0.05, said on standard error.
    const auto r = check({"--tolerance", "10", file.path().string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("\"0.05\""), std::string::npos) << r.err;
}

// A band that is not one number checks nothing: no file is read, nothing
// goes to standard output.
TEST(CheckCommand, ABandThatIsNotOneNumberIsRefused) {
    const struct {
        std::vector<std::string> args;
        const char* err;
    } cases[] = {
        {{"--tolerance", "0,05"}, "較差「0,05」を数値として読めません。"},
        {{"--tolerance=0.5m"}, "較差「0.5m」を数値として読めません。"},
        {{"--tolerance", ""}, "較差が入力されていません。"},
        {{"--lower", "abc"}, "較差の下限「abc」を数値として読めません。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.err);
        auto args = c.args;
        args.push_back("missing.sim");
        const auto r = check(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, std::string("morvane-check: ") + c.err + "\n");
    }
}

TEST(CheckCommand, TooManyFindingsFollowsTheOption) {
    TempFile file(simaFileOf(findingPairs(1100, 0)));
    auto r = check({file.path().string()});
    EXPECT_EQ(countLines(r.out, "同一名称"), 1001u);
    EXPECT_NE(r.err.find("同一名称が多すぎます。処理を中止しますか？"), std::string::npos);
    r = check({"--on-too-many", "continue", file.path().string()});
    EXPECT_EQ(countLines(r.out, "同一名称"), 1100u);
}

TEST(CheckCommand, SeveralFilesEachUnderItsPathWorstStatusWins) {
    TempFile clean(simaFile({u"A01,1,P1,100,200,"}));
    TempFile found(simaFile({u"A01,1,P1,100,200,", u"A01,2,P1,300,200,"}));
    const std::string missing = (clean.folder() / "missing.sim").string();

    auto r = check({clean.path().string(), found.path().string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.find("==> " + clean.path().string() + " <==\n同一座標はありませんでした\n"), 0u)
        << r.out;
    EXPECT_NE(r.out.find("==> " + found.path().string() + " <==\n同一名称"), std::string::npos);

    r = check({missing, clean.path().string()});
    EXPECT_EQ(r.status, 2);
    // The error does not stop the next file.
    EXPECT_NE(r.out.find("==> " + clean.path().string() + " <==\n同一座標はありませんでした\n"),
              std::string::npos);
    EXPECT_EQ(r.err,
              "morvane-check: " + missing + ": 実行時エラー '53': ファイルが見つかりません。\n");
}

struct BadInput {
    const char* what;
    std::string bytes;
    int status;
    const char* err;
};

TEST(CheckCommand, BadInputGetsAClearAnswer) {
    const std::string tooMany = simaFileOf(separatePoints(500'000));
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += static_cast<char>((i * 7919) % 256);
    const BadInput cases[] = {
        {"empty file", "", 2, ": 座標レコード（A01、Z）が見つかりません。"},
        {"text that is no coordinate file", "Dear surveyor,\nall is well.\n", 2,
         ": 座標レコード（A01、Z）が見つかりません。"},
        {"record cut short", "A01,1,P1,100", 2,
         ":1: 実行時エラー '62': ファイルにこれ以上データがありません。"},
        {"record cut short on line 3", "G00,01,site,\r\nA01,1,P1,1,2,\r\nA01,2,P2,1", 2,
         ":3: 実行時エラー '62': ファイルにこれ以上データがありません。"},
        {"CR, LF and CR LF each end a line",
         "A01,1,P1,1,2,\nA01,2,P2,1,2,\rA01,3,P3,1,2,\r\nA01,4,P4,1e400,2,\r\nA01,5,P5,1,2,", 2,
         ":4: 実行時エラー '6': A01 レコードの X 座標 1e400 は桁が大きすぎます。"},
        {"point number of 20 digits", "A01,12345678901234567890,P,1,2,", 2,
         ":1: 実行時エラー '6': A01 レコードの点番号 12345678901234567890 "
         "が大きすぎます（2147483647 "
         "まで）。"},
        {"400-character name", "A01,1," + std::string(400, 'N') + ",1,2,", 2,
         ":1: 実行時エラー '6': 名称が長すぎます（400 文字）。"},
        {"UTF-8 file", "A01,1,境界,1,2,\r\nA01,2,境界,1,3,\r\n", 1, ""},
        {"500,000 points", tooMany, 2, ":500003: 座標数が上限（499999点）を超えています。"},
        {"binary garbage", garbage, -2, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFile file(c.bytes);
        const auto r = check({file.path().string()});
        if (c.status >= 0) {
            EXPECT_EQ(r.status, c.status) << r.err;
        } else {
            EXPECT_TRUE(r.status == 0 || r.status == 1 || r.status == 2) << r.status;
        }
        if (*c.err) {
            EXPECT_EQ(r.err, "morvane-check: " + file.path().string() + c.err + "\n");
        }
        if (r.status == 2) {
            EXPECT_EQ(r.out, "");
        }
    }
}

TEST(CheckCommand, PathsThatAreNoFileAreRefused) {
    TempFile file("");
    const auto r = check({file.folder().string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "morvane-check: " + file.folder().string() +
                         ": is a folder; give -r to check the files below it\n");
    EXPECT_EQ(check({"/dev/zero"}).status, 2);
}

TEST(CheckCommand, EveryEncodingGivesTheSameReportAndTheSummaryNamesIt) {
    const std::u16string text = u"A01,1,境界1,100,200,\r\nA01,2,境界1,100,200.01,\r\n";
    const auto reference = check({TempFile(test::cp932(text)).path().string()});
    ASSERT_EQ(reference.status, 1);
    const struct {
        FileEncoding encoding;
        const char* name;
    } cases[] = {
        {FileEncoding::Utf8, "UTF-8"},
        {FileEncoding::Utf8WithBom, "UTF-8 with BOM"},
        {FileEncoding::Utf16Le, "UTF-16LE"},
        {FileEncoding::Utf16Be, "UTF-16BE"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFile file(test::savedAs(c.encoding, text));
        const auto r = runProcess(MORVANE_CHECK_EXE, {file.path().string()});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, reference.out);
        EXPECT_EQ(
            r.err.rfind("morvane-check: " + file.path().string() + ": " + c.name + ", 2 points", 0),
            0u)
            << r.err;
    }
}

TEST(CheckCommand, EncodingOptionOverridesTheGuess) {
    // Two half-width katakana in code page 932 that are also "ñ" in UTF-8: the
    // guess is UTF-8, and the summary shows it.
    TempFile file("A01,1,\xC3\xB1,100,200,\r\nA01,2,\xC3\xB1,300,400,\r\n");
    const std::string path = file.path().string();
    const struct {
        std::vector<std::string> args;
        const char* encoding;
        const char* name;
    } cases[] = {
        {{path}, "UTF-8", "ñ"},
        {{"--encoding", "auto", path}, "UTF-8", "ñ"},
        {{"--encoding", "cp932", path}, "CP932", "ﾃｱ"},
        {{"--encoding=utf-8", path}, "UTF-8", "ñ"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.front());
        const auto r = runProcess(MORVANE_CHECK_EXE, c.args);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.out.find(std::string("     1  ") + c.name + " "), std::string::npos) << r.out;
        EXPECT_EQ(r.err.rfind("morvane-check: " + path + ": " + c.encoding + ", ", 0), 0u) << r.err;
    }
    // Forced UTF-16 reads the bytes in pairs: no record is left.
    const auto r = check({"--encoding", "utf-16", path});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("座標レコード（A01、Z）が見つかりません。"), std::string::npos);
}

TEST(CheckCommand, PdfAndPlotReplaceOnlyRegularFiles) {
    // Each named as the folder form would name the example's output.
    TempFile anchor("");
    const fs::path fifo = anchor.folder() / "sample.pdf";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path link = anchor.folder() / "sample.png";
    fs::create_symlink(fifo, link);
    std::vector<fs::path> targets = {fifo, link};
    // A device node of the test's own, never /dev/null itself, where this user
    // may make one (root).
    const fs::path device = anchor.folder() / "null";
    if (::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0)
        targets.push_back(device);

    for (const char* option : {"--pdf", "--plot"}) {
        for (const fs::path& target : targets) {
            SCOPED_TRACE(std::string(option) + " " + target.string());
            const auto r = check({option, target.string(), Example});
            EXPECT_EQ(r.status, 2);
            EXPECT_EQ(r.out, "") << "refused before any check";
            EXPECT_NE(r.err.find(std::string(option) + " " + target.string() + ": it is"),
                      std::string::npos)
                << r.err;
        }
        // A folder's output over a FIFO of that name is no better.
        const auto r = check({option, anchor.folder().string(), Example});
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("only a regular file"), std::string::npos) << r.err;
    }
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(fifo)));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(link)));
    if (targets.size() == 3) {
        EXPECT_TRUE(fs::is_character_file(fs::symlink_status(device)));
    }
}

TEST(CheckCommand, UsageErrorsAndInformation) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                                 {"--bogus", Example},
                                                 {"--tolerance"},
                                                 {"--on-too-many", "maybe", Example},
                                                 {"--encoding", "latin1", Example}}) {
        const auto r = check(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("--help"), std::string::npos);
        EXPECT_EQ(r.out, "");
    }
    auto r = check({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Usage: morvane-check"), std::string::npos);
    r = check({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "morvane-check 1.2\n");
}

} // namespace
} // namespace morvane
