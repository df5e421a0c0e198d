// Bad input of every kind, each with the outcome a user gets: a sound result
// or the agreed clear error, through the core and through morvane-check alike,
// and the next run works. The small files live in inputs/ (they also seed the
// fuzzer); the big ones are made here.
#include "core/PointTable.h"
#include "core/Text.h"
#include "support/CheckRuns.h"
#include "support/PointTableFixture.h"
#include "support/Process.h"
#include "support/RecordingUiSink.h"
#include "support/TestFiles.h"
#include "support/TestPoints.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <sys/stat.h>

#include <gtest/gtest.h>

namespace morvane {
namespace {

using test::Completes;
using test::countLines;
using test::findingPairs;
using test::runFile;
using test::separatePoints;
using test::simaFileOf;
using test::TempFile;

struct Outcome {
    const char* file;
    std::int32_t error;    // the run-time error number, or Completes
    std::int32_t line = 0; // of the record the error is in
    std::int32_t points = 0;
    std::int32_t findings = 0;
    const char* encoding = "CP932"; // as the summary names it
    const char* message = nullptr;  // when not the standard one of its number, or NoRecords
};

// A condition of the program's own, without a number.
constexpr std::int32_t NoRecords = 0;
constexpr std::int32_t RecordError = 0;

// Every file in inputs/ has its row.
const Outcome Outcomes[] = {
    {"empty.sim", NoRecords},
    {"headers-only.sim", NoRecords},
    {"cut-after-tag.sim", 62, 5},
    {"cut-after-number.sim", 62, 5},
    {"cut-after-name.sim", 62, 5},
    {"cut-after-x.sim", 62, 5},
    {"cut-after-x-comma.sim", 62, 5},
    // The line ends before the file does.
    {.file = "cut-z-after-name.sim",
     .error = RecordError,
     .line = 4,
     .message = "Z レコードに X 座標がありません。"},
    {"y-ends-the-file.sim", Completes, 0, 2, 2},
    // Errors 6 name the field and its value.
    {.file = "number-20-digits.sim",
     .error = 6,
     .line = 4,
     .message = "A01 レコードの点番号 12345678901234567890 が大きすぎます（2147483647 まで）。"},
    {"number-abc.sim", Completes, 0, 2, 1},
    {.file = "number-below-32-bits.sim",
     .error = 6,
     .line = 4,
     .message = "A01 レコードの点番号 -2147483649 が小さすぎます（-2147483648 まで）。"},
    {"number-at-32-bit-limits.sim", Completes, 0, 2, 0},
    {.file = "number-rounds-past-32-bits.sim",
     .error = 6,
     .line = 4,
     .message = "A01 レコードの点番号 2147483647.5 が大きすぎます（2147483647 まで）。"},
    {.file = "coordinate-1e400.sim",
     .error = 6,
     .line = 4,
     .message = "A01 レコードの X 座標 1e400 は桁が大きすぎます。"},
    // Neither is a number; once read as 0, they made points without coordinates.
    {.file = "coordinate-nan-inf.sim",
     .error = RecordError,
     .line = 4,
     .message = "A01 レコードの X 座標「nan」を数値として読めません。"},
    {"coordinate-full-width.sim", Completes, 0, 2, 1},
    {"coordinate-hex.sim", Completes, 0, 2, 1},
    {"name-300-characters.sim", Completes, 0, 1, 0},
    {.file = "name-400-characters.sim",
     .error = 6,
     .line = 4,
     .message = "名称が長すぎます（400 文字）。"},
    {"names-of-spaces.sim", Completes, 0, 6, 0},
    {"shift-jis-invalid.sim", Completes, 0, 2, 1},
    {"shift-jis-truncated.sim", Completes, 0, 3, 1},
    {"utf-8.sim", Completes, 0, 2, 2, "UTF-8"},
    {"utf-8-bom.sim", Completes, 0, 3, 3, "UTF-8 with BOM"},
    {"utf-16-bom.sim", Completes, 0, 2, 2, "UTF-16LE"},
    {"ctrl-z-between-records.sim", Completes, 0, 1, 0},
    {"ctrl-z-inside-a-record.sim", 62, 4},
    // The unclosed quote ends at the line end, and so does the record.
    {.file = "quote-never-closes.sim",
     .error = RecordError,
     .line = 4,
     .message = "A01 レコードに X 座標がありません。"},
    // Y is missing, and the next line's record must not become it.
    {.file = "record-without-y-mid-file.sim",
     .error = RecordError,
     .line = 5,
     .message = "A01 レコードに Y 座標がありません。"},
    {"quote-never-closes-at-end.sim", 62, 4},
    {"nul-bytes.sim", NoRecords},
    {"binary-garbage.sim", NoRecords},
};

struct StoredPoint {
    const char* file;
    std::int32_t position;
    std::int32_t number;
    std::u16string name;
    double x, y;
};

// What the odd files put into the table.
const StoredPoint StoredPoints[] = {
    {"number-abc.sim", 1, 0, u"P1", 1, 2},
    {"number-at-32-bit-limits.sim", 1, -2147483647 - 1, u"P1", 1, 2},
    {"number-at-32-bit-limits.sim", 2, 2147483647, u"P2", 3, 4},
    {"coordinate-full-width.sim", 1, 1, u"P1", -42100, 12544.218},
    {"coordinate-hex.sim", 1, 1, u"P1", -1, 16},
    {"names-of-spaces.sim", 1, 1, u"", 1, 1},
    {"names-of-spaces.sim", 3, 3, u"\u3000\u3000", 3, 3},
    {"names-of-spaces.sim", 5, 5, u"", 5, 5},
    {"shift-jis-invalid.sim", 1, 1, u"P\uFFFD@\uFFFD\uFFFD", 1, 1},
    {"shift-jis-truncated.sim", 1, 1, u"P\uFFFD", 1, 1},
    {"shift-jis-truncated.sim", 3, 3, u"\uFFFD", 9, 9},
    {"utf-8.sim", 1, 1, u"境界1", 100, 200},
    // The byte order mark is no part of the first tag.
    {"utf-8-bom.sim", 1, 1, u"境界1", 100, 200},
    {"utf-8-bom.sim", 3, 3, u"境界3", 100, 200.04},
    {"utf-16-bom.sim", 2, 2, u"P1", 100, 200.02},
    {"ctrl-z-between-records.sim", 1, 1, u"P1", 100, 200},
};

std::filesystem::path input(const char* file) {
    return std::filesystem::path(MORVANE_CORPUS) / file;
}

std::string errorText(const Outcome& o) {
    if (o.message)
        return o.error == 0 ? o.message
                            : "実行時エラー '" + std::to_string(o.error) + "': " + o.message;
    switch (o.error) {
    case 62:
        return "実行時エラー '62': ファイルにこれ以上データがありません。";
    case NoRecords:
        return "座標レコード（A01、Z）が見つかりません。";
    default:
        return "?";
    }
}

class BadInput : public test::PointTableFixture {};

TEST_F(BadInput, EveryFileHasItsOutcome) {
    std::set<std::string> listed;
    for (const auto& o : Outcomes)
        listed.insert(o.file);
    for (const auto& entry : std::filesystem::directory_iterator(MORVANE_CORPUS))
        EXPECT_TRUE(listed.contains(entry.path().filename().string())) << entry.path();
    EXPECT_EQ(listed.size(), std::size(Outcomes));
}

TEST_F(BadInput, EachFileRunsSoundlyOrStopsWithItsErrorThroughTheCore) {
    for (const auto& o : Outcomes) {
        SCOPED_TRACE(o.file);
        RecordingUiSink ui;
        ASSERT_EQ(runFile(data(), ui, input(o.file)), o.error);
        if (o.error == Completes) {
            EXPECT_EQ(data().pointCount, o.points);
            EXPECT_EQ(data().nextReportLine, 1 + 3 * o.findings);
            EXPECT_EQ(ui.items.size(), o.findings ? 4u * o.findings : 1u);
            EXPECT_TRUE(ui.messages.empty());
        } else {
            // Nothing of a partial run shows, and the window is given back.
            EXPECT_TRUE(ui.items.empty());
            EXPECT_EQ(ui.resultField, u"");
            EXPECT_EQ(ui.visible.back(), "showError");
            EXPECT_EQ(ui.messages.size(), 1u);
            ASSERT_EQ(ui.places.size(), 1u);
            EXPECT_EQ(ui.places[0].file, input(o.file));
            EXPECT_EQ(ui.places[0].line, o.line);
        }
        expectNextRunWorks();
    }
}

TEST_F(BadInput, OddFilesStoreWhatTheyHold) {
    for (const auto& p : StoredPoints) {
        SCOPED_TRACE(std::string(p.file) + " point " + std::to_string(p.position));
        RecordingUiSink ui;
        ASSERT_EQ(runFile(data(), ui, input(p.file)), Completes);
        EXPECT_EQ(data().numbers[p.position], p.number);
        EXPECT_EQ(data().names[p.position], p.name);
        EXPECT_EQ(data().xs[p.position], p.x);
        EXPECT_EQ(data().ys[p.position], p.y);
    }
}

std::string withoutCr(std::string text) {
    std::erase(text, '\r');
    return text;
}

TEST_F(BadInput, TheCommandLineGivesTheSameOutcomes) {
    for (const auto& o : Outcomes) {
        SCOPED_TRACE(o.file);
        const std::string path = input(o.file).string();
        const auto r = test::runProcess(MORVANE_CHECK_EXE, {path});
        if (o.error != Completes) {
            EXPECT_EQ(r.status, 2);
            EXPECT_EQ(r.out, "");
            const std::string where = o.line > 0 ? path + ":" + std::to_string(o.line) : path;
            EXPECT_EQ(r.err, "morvane-check: " + where + ": " + errorText(o) + "\n");
            continue;
        }
        EXPECT_EQ(r.status, o.findings ? 1 : 0);
        // Only the summary, with the points the core read.
        const std::string points =
            std::to_string(o.points) + (o.points == 1 ? " point," : " points,");
        EXPECT_EQ(r.err.rfind("morvane-check: " + path + ": " + o.encoding + ", " + points, 0), 0u)
            << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        RecordingUiSink ui;
        ASSERT_EQ(runFile(data(), ui, input(o.file)), Completes);
        EXPECT_EQ(r.out, withoutCr(toUtf8(ui.resultField)));
    }
}

TEST_F(BadInput, TheLastPointThatFitsAndTheFirstThatDoesNot) {
    TempFile fits(simaFileOf(separatePoints(TableCapacity)));
    RecordingUiSink ui;
    ASSERT_EQ(runFile(data(), ui, fits.path()), Completes);
    EXPECT_EQ(data().pointCount, TableCapacity);
    EXPECT_EQ(ui.items, std::vector<std::u16string>{u"同一座標はありませんでした"});
    const auto r = test::runProcess(MORVANE_CHECK_EXE, {fits.path().string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "同一座標はありませんでした\n");

    TempFile over(simaFileOf(separatePoints(TableCapacity + 1)));
    RecordingUiSink full;
    EXPECT_EQ(runFile(data(), full, over.path()), 0);
    EXPECT_EQ(full.messages,
              std::vector<std::u16string>{u"座標数が上限（499999点）を超えています。"});
    EXPECT_TRUE(full.items.empty());
    expectNextRunWorks();
}

struct QuestionCase {
    const char* what;
    std::int32_t namePairs, coordinatePairs;
    std::deque<Answer> answers; // to the name question, then the coordinate one
    std::size_t nameFindings, coordinateFindings;
    bool reportFull = false;
};

TEST_F(BadInput, ManyFindingsAskEachCheckOnceAndNeverOverfillTheReport) {
    const std::u16string Full = u"結果が上限（499999行）に達しました。以降の結果は省略します。";
    const QuestionCase cases[] = {
        {"1001 each, stop at the first", 1001, 1001, {Answer::Yes, Answer::No}, 1001, 1001},
        {"1001 each, stop at the second", 1001, 1001, {Answer::No, Answer::Yes}, 1001, 1001},
        {"170,000, stop at both", 85'000, 85'000, {Answer::Yes, Answer::Yes}, 1001, 1001},
        {"170,000, stop at the second", 85'000, 85'000, {Answer::No, Answer::Yes}, 85'000, 1001},
        // 1 + 3 * 166,666 = 499,999: the next finding would not fit.
        {"170,000, go on", 85'000, 85'000, {Answer::No, Answer::No}, 85'000, 81'666, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFile file(simaFileOf(findingPairs(c.namePairs, c.coordinatePairs)));
        RecordingUiSink ui;
        ui.answers = c.answers;
        ASSERT_EQ(runFile(data(), ui, file.path()), Completes);
        EXPECT_EQ(ui.questions,
                  (std::vector<std::u16string>{u"同一名称が多すぎます。処理を中止しますか？",
                                               u"同位置座標が多すぎます。処理を中止しますか？"}));
        const std::string report = toUtf8(ui.resultField);
        EXPECT_EQ(countLines(report, "同一名称"), c.nameFindings);
        EXPECT_EQ(countLines(report, "同一座標値"), c.coordinateFindings);
        const auto findings = static_cast<std::int32_t>(c.nameFindings + c.coordinateFindings);
        EXPECT_EQ(data().nextReportLine, 1 + 3 * findings);
        EXPECT_EQ(ui.items.size(), 4u * findings);
        EXPECT_EQ(ui.messages,
                  c.reportFull ? std::vector<std::u16string>{Full} : std::vector<std::u16string>{});
    }
    expectNextRunWorks();
}

TEST_F(BadInput, ManyFindingsOnTheCommandLine) {
    TempFile file(simaFileOf(findingPairs(85'000, 85'000)));
    auto r = test::runProcess(MORVANE_CHECK_EXE, {file.path().string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(countLines(r.out, "同一名称"), 1001u);
    EXPECT_EQ(countLines(r.out, "同一座標値"), 1001u);

    r = test::runProcess(MORVANE_CHECK_EXE, {"--on-too-many", "continue", file.path().string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(countLines(r.out, "同一名称"), 85'000u);
    EXPECT_EQ(countLines(r.out, "同一座標値"), 81'666u);
    const std::string full = "結果が上限（499999行）に達しました。以降の結果は省略します。";
    const auto at = r.err.find(full);
    EXPECT_NE(at, std::string::npos) << r.err;
    EXPECT_EQ(r.err.find(full, at + 1), std::string::npos);
}

TEST(BadInputPaths, AFifoIsRefusedWithoutWaiting) {
    TempFile file("");
    const auto fifo = file.folder() / "pipe.sim";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const auto r = test::runProcess(MORVANE_CHECK_EXE, {fifo.string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err,
              "morvane-check: " + fifo.string() + ": 実行時エラー '75': パス名が無効です。\n");
}

} // namespace
} // namespace morvane
