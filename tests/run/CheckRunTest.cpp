#include "run/CheckRun.h"

#include "core/PointTable.h"
#include "core/ReportLines.h"
#include "core/Text.h"
#include "support/CheckRuns.h"
#include "support/PointTableFixture.h"
#include "support/RecordingUiSink.h"
#include "support/TestFiles.h"
#include "support/ZipFiles.h"

#include <algorithm>
#include <fstream>
#include <regex>
#include <tuple>

#include <gtest/gtest.h>

namespace morvane {
namespace {

using test::cp932;
using test::runFile;
using test::simaFile;
using test::TempFile;

// The table is large: one per test suite, reset by every run as in the window.
class CheckRun : public test::PointTableFixture {
protected:
    void run(const TempFile& file) {
        ui.files.push_back(file.path());
        runCheck(data(), ui);
    }

    RecordingUiSink ui;
};

TEST_F(CheckRun, ToleranceOutOfRangeFallsBackBeforeTheRun) {
    struct Case {
        std::u16string text;
        bool reset;
    };
    const Case cases[] = {
        {u"-1\r\n", true}, {u"10\r\n", true}, {u"9.99\r\n", false}, {u"0\r\n", false},
        {u"&HA", true},    {u"9.991", true},  {u"-0.001", true},    {u"0.05\r\n", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(toUtf8(c.text));
        RecordingUiSink sink;
        sink.toleranceField = c.text;
        runCheck(data(), sink);
        EXPECT_EQ(sink.toleranceField, c.reset ? u"0.05" : c.text);
        // The field is fixed before anything else the user sees happens.
        if (c.reset) {
            EXPECT_EQ(sink.visible.front(), "setToleranceText:0.05");
        }
    }
}

// A band text that the leading-number rule would read as some other band
// starts nothing: no file is asked for, the message names the field and the
// text, and what the window showed stays.
TEST_F(CheckRun, ABandThatIsNotOneNumberIsRefusedBeforeAnythingIsRead) {
    struct Case {
        std::u16string lower, tolerance, message;
    };
    const Case refused[] = {
        {u"0\r\n", u"0,05", u"較差「0,05」を数値として読めません。"},
        {u"0\r\n", u"5cm", u"較差「5cm」を数値として読めません。"},
        {u"0\r\n", u"５ｃｍ\r\n", u"較差「５ｃｍ」を数値として読めません。"},
        {u"0\r\n", u"0.05 m", u"較差「0.05 m」を数値として読めません。"},
        {u"0\r\n", u" \r\n", u"較差が入力されていません。"},
        {u"0\r\n", u"1e999", u"較差「1e999」が大きすぎます。"},
        {u"abc", u"abc", u"較差の下限「abc」を数値として読めません。"},
        {u"", u"0.05", u"較差の下限が入力されていません。"},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(toUtf8(c.lower + u" / " + c.tolerance));
        RecordingUiSink sink;
        sink.lowerField = c.lower;
        sink.toleranceField = c.tolerance;
        EXPECT_FALSE(runFileCheck(data(), sink));
        EXPECT_EQ(sink.visible, std::vector<std::string>{"showMessage"});
        EXPECT_EQ(sink.messages, std::vector<std::u16string>{c.message});
        EXPECT_EQ(sink.toleranceField, c.tolerance);
    }
    // Spaces around, line breaks, full-width forms and the range rule's
    // numbers all read whole.
    const std::u16string accepted[] = {u" 0.05 \r\n", u"０．０５", u"0.0\r\n5", u"0.05　",
                                       u"-1",         u"＋1E-2",   u"&H1"};
    for (const auto& tolerance : accepted) {
        SCOPED_TRACE(toUtf8(tolerance));
        EXPECT_FALSE(refusedBand(u"0\r\n", tolerance));
    }
    // The command line asks the same of its options, the lower bound first.
    const auto both = refusedBand(u"x", u"y");
    ASSERT_TRUE(both);
    EXPECT_EQ(both->field, BandField::LowerBound);
}

// With no distance in the band the coordinate check can find nothing; the
// result text must not read as if it had looked.
TEST_F(CheckRun, AnEmptyBandIsSaidInsteadOfNothingFound) {
    TempFile clean(simaFile({u"A01,1,P1,100,200,", u"A01,2,P2,100.01,200,"}));
    ui.lowerField = u"0.05";
    run(clean);
    const std::u16string notRun =
        u"較差の範囲 0.05 ≤ d < 0.05 が空のため、座標検査は行いませんでした。";
    EXPECT_EQ(ui.items, std::vector<std::u16string>{notRun});
    EXPECT_EQ(ui.resultField, notRun + u"\r\n");

    // After findings of the name check, it closes the report.
    TempFile named(simaFile({u"A01,1,P1,100,200,", u"A01,2,P1,100.01,200,"}));
    ui.toleranceField = u"0.01";
    run(named);
    EXPECT_TRUE(ui.resultField.ends_with(
        u"\r\n\r\n較差の範囲 0.05 ≤ d < 0.01 が空のため、座標検査は行いませんでした。\r\n"))
        << toUtf8(ui.resultField);
}

TEST_F(CheckRun, CancelAfterARunLeavesEverythingEmpty) {
    TempFile file(simaFile({u"A01,1,P1,0.5,0.5,", u"A01,2,P1,3,4,"}));
    run(file);
    ASSERT_FALSE(ui.items.empty());

    RecordingUiSink again;
    runCheck(data(), again); // no file scripted: the dialog is cancelled
    EXPECT_TRUE(again.items.empty());
    EXPECT_EQ(again.resultField, u"");
    EXPECT_EQ(data().nextReportLine, 0);
    EXPECT_EQ(data().pointCount, 0);
    const std::vector<std::string> expected = {"clearResultList", "setResultText:empty",
                                               "chooseCoordinateFile",
                                               "setStatusColor:255,255,255"};
    EXPECT_EQ(again.visible, expected);
}

TEST_F(CheckRun, WalksTheStatusesInOrder) {
    TempFile file(simaFile({u"A01,1,P1,10,10,"}));
    run(file);
    const std::vector<std::string> expected = {
        "clearResultList",
        "setResultText:empty",
        "chooseCoordinateFile",
        "setStatusColor:255,0,0",
        "setStatusText:  座標読み込み中",
        "setBusyCursor:on",
        "redraw",
        "setBusyCursor:on",
        "redraw",
        "setStatusText:  名称検査中",
        "redraw",
        "setStatusText:  座標検査中",
        "redraw",
        "setStatusText:",
        "setBusyCursor:off",
        "redraw",
        "setResultText",
        "setStatusColor:255,255,255",
    };
    EXPECT_EQ(ui.visible, expected);
}

TEST_F(CheckRun, NothingFoundIsSaidInTheResultTextToo) {
    TempFile file(simaFile({u"A01,1,P1,100,200,", u"A01,2,P2,300,400,"}));
    run(file);
    EXPECT_EQ(ui.items, std::vector<std::u16string>{u"同一座標はありませんでした"});
    EXPECT_EQ(ui.resultField, u"同一座標はありませんでした\r\n");
    EXPECT_EQ(data().nextReportLine, 1); // nothing to print
}

TEST_F(CheckRun, AFileWithoutRecordsIsAnErrorNotACleanFile) {
    TempFile file(cp932(u"G00,01,header only,\r\nZ00,座標データ,\r\n"));
    EXPECT_EQ(test::runFile(data(), ui, file.path()), 0);
    EXPECT_EQ(ui.messages,
              std::vector<std::u16string>{u"座標レコード（A01、Z）が見つかりません。"});
    EXPECT_TRUE(ui.items.empty());
    EXPECT_EQ(ui.resultField, u"");
    EXPECT_EQ(data().nextReportLine, 0);
}

TEST_F(CheckRun, OneDuplicateNameGivesThreeLinesAndAnEmptyOne) {
    TempFile file(simaFile({u"A01,1,P1,100,200,", u"A01,2,P1,103,204,"}));
    run(file);
    EXPECT_EQ(ui.resultField, u"同一名称\r\n"
                              u"     1  P1             100.000   200.000  較差 5.000\r\n"
                              u"     2  P1             103.000   204.000\r\n"
                              u"\r\n");
    EXPECT_EQ(ui.items.size(), 4u); // no "nothing found" item after a finding
}

TEST_F(CheckRun, BothChecksShareOneReportNameCheckFirst) {
    TempFile file(simaFile({u"A01,1,P1,100,200,", u"A01,2,P1,100.01,200,"}));
    run(file);
    EXPECT_EQ(ui.resultField, u"同一名称\r\n"
                              u"     1  P1             100.000   200.000  較差 0.010\r\n"
                              u"     2  P1             100.010   200.000\r\n"
                              u"同一座標値\r\n"
                              u"     1  P1             100.000   200.000  較差 0.010\r\n"
                              u"     2  P1             100.010   200.000\r\n"
                              u"\r\n");
    ASSERT_EQ(ui.items.size(), 8u);
    EXPECT_EQ(ui.items[0], u"同一名称");
    EXPECT_EQ(ui.items[3], u" ");
    EXPECT_EQ(ui.items[4], u"同位置座標");
    EXPECT_EQ(ui.items[7], u" ");
}

// The point-number check comes after the others, with its own status; a
// check left out shows no status and reports nothing.
TEST_F(CheckRun, ChosenChecksRunInOrderTheNumberCheckLast) {
    TempFile file(simaFile({u"A01,12,P1,100,200,", u"A01,12,P2,100.01,200,"}));
    const std::u16string lines = u"    12  P1             100.000   200.000  較差 0.010\r\n"
                                 u"    12  P2             100.010   200.000\r\n";
    for (const bool all : {true, false}) {
        ui = {};
        ui.checks = {all, all, true};
        run(file);
        std::vector<std::string> statuses;
        for (const std::string& call : ui.visible)
            if (call.starts_with("setStatusText:  "))
                statuses.push_back(call.substr(16));
        const std::vector<std::string> expected =
            all ? std::vector<std::string>{"座標読み込み中", "名称検査中", "座標検査中",
                                           "点番号検査中"}
                : std::vector<std::string>{"座標読み込み中", "点番号検査中"};
        EXPECT_EQ(statuses, expected);
        EXPECT_EQ(ui.resultField,
                  (all ? u"同一座標値\r\n" + lines : u"") + u"同一点番号\r\n" + lines + u"\r\n");
    }
}

TEST_F(CheckRun, AStoppedNumberCheckSaysSoAtTheEnd) {
    std::vector<std::u16string> records;
    for (int n = 1; n <= 1002; ++n)
        for (const char* y : {"0", "100"})
            records.push_back(toUtf16("A01," + std::to_string(n) + ",," + std::to_string(n * 10) +
                                      "," + y + ","));
    TempFile file(simaFile(records));
    ui.checks.duplicateNumbers = true;
    run(file); // Yes: stop
    EXPECT_EQ(ui.questions,
              std::vector<std::u16string>{u"同一点番号が多すぎます。処理を中止しますか？"});
    EXPECT_TRUE(ui.resultField.ends_with(u"\r\n\r\n点番号検査は 1001 件で打ち切りました。\r\n"));
}

TEST_F(CheckRun, ResultTextIsAppendedToWhatTheFieldHolds) {
    // Nothing writes the field during a run, but the report is added to
    // whatever it holds rather than replacing it.
    TempFile file(simaFile({u"A01,1,P1,10,10,", u"A01,2,P1,20,20,"}));
    struct Sneaky : RecordingUiSink {
        void setStatusText(const std::u16string& t) override {
            RecordingUiSink::setStatusText(t);
            if (t.empty())
                resultField = u"x";
        }
    } sneaky;
    sneaky.files.push_back(file.path());
    runCheck(data(), sneaky);
    EXPECT_EQ(sneaky.resultField.substr(0, 7), u"x同一名称\r\n");
}

struct ErrorCase {
    const char* what;
    std::string bytes;
    std::int32_t number;
};

TEST_F(CheckRun, RunTimeErrorsAbandonTheRunAndTheNextRunWorks) {
    const ErrorCase cases[] = {
        {"record cut short", "A01,1,P1,10", 62},
        {"record cut short after a comma", "A01,1,P1,10,", 62},
        {"point number beyond 32 bits", "A01,99999999999,P1,1,2,", 6},
        {"coordinate beyond a double", "A01,1,P1,1e400,2,", 6},
        {"X times 1000 beyond a double", "A01,1,P1,1e307,2,", 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFile bad(c.bytes);
        RecordingUiSink sink;
        EXPECT_EQ(runFile(data(), sink, bad.path()), c.number);
        ASSERT_EQ(sink.messages.size(), 1u);
        EXPECT_EQ(sink.messages[0].substr(0, 8), u"実行時エラー '");
        // The window is given back before the message shows.
        const auto& v = sink.visible;
        const auto at = [&](const std::string& call) {
            return std::find(v.rbegin(), v.rend(), call).base() - v.begin();
        };
        EXPECT_LT(at("setBusyCursor:off"), at("showError"));
        EXPECT_LT(at("setStatusColor:255,255,255"), at("showError"));
        EXPECT_EQ(data().nextReportLine, 0);
        expectNextRunWorks();
    }
}

TEST_F(CheckRun, ChecksAMapSheetAndSaysWhenItHoldsNoPoint) {
    TempFile one(test::zipOf({{"a.xml", test::PairSheet}}), "one.zip");
    ui.files.push_back(one.path());
    const auto summary = runCheck(data(), ui);
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->file, one.path().string() + ":a.xml");
    EXPECT_EQ(summary->coordinateSystem.zone, 9);
    EXPECT_EQ(summary->coincidentPoints, 1);
    // One sheet needs no heading: its report is the whole text.
    EXPECT_EQ(ui.resultField.substr(0, 5), u"同一座標値");

    TempFile empty("<地図 xmlns=\"http://www.moj.go.jp/MINJI/tizuxml\"/>", "empty.xml");
    RecordingUiSink none;
    ASSERT_EQ(runFile(data(), none, empty.path()), 0);
    EXPECT_EQ(none.messages.at(0), u"地図XMLに点（GM_Point）がありません。");
}

// Each sheet of an archive is a run of its own, under its heading; a sheet
// that fails says so there and in its box, and the next sheet goes on.
TEST_F(CheckRun, ChecksEverySheetOfAnArchiveInTurn) {
    const std::string clean =
        "<地図 xmlns=\"http://www.moj.go.jp/MINJI/tizuxml\" "
        "xmlns:g=\"http://www.moj.go.jp/MINJI/tizuzumen\">"
        "<g:GM_Point><g:DirectPosition><g:X>5</g:X><g:Y>5</g:Y></g:DirectPosition></g:GM_Point>"
        "</地図>";
    TempFile archive(
        test::zipOf({{"maps/c.xml", "<地図>"}, {"a.xml", test::PairSheet}, {"b/clean.xml", clean}}),
        "city.zip");
    ui.files.push_back(archive.path());
    std::vector<std::pair<std::string, std::int32_t>> seen;
    std::vector<CheckedUnit> units;
    UnitHooks hooks;
    hooks.done = [&](const PointTable& table, const CheckedUnit& unit) {
        seen.emplace_back(unit.name.filename().string(), table.pointCount);
        units.push_back(unit);
    };
    const auto run = runFileCheck(data(), ui, hooks);

    ASSERT_TRUE(run);
    ASSERT_EQ(run->unitCount, 3u);
    ASSERT_EQ(units.size(), 3u);
    EXPECT_EQ(run->last.name, units[2].name);
    // The table still holds each sheet's points when its turn ends.
    EXPECT_EQ(seen, (std::vector<std::pair<std::string, std::int32_t>>{
                        {"city.zip:a.xml", 2}, {"clean.xml", 1}, {"c.xml", 0}}));
    EXPECT_TRUE(units[1].summary);
    EXPECT_FALSE(units[2].summary);

    const std::u16string& text = ui.resultField;
    const auto at = [&](std::u16string_view part) { return text.find(part); };
    EXPECT_EQ(at(u"■ city.zip:a.xml\r\n同一座標値\r\n"), 0u);
    // One blank line between sheets: the findings end with one, a clean
    // report gets one.
    EXPECT_NE(at(u"\r\n\r\n■ city.zip:b/clean.xml\r\n同一座標はありませんでした\r\n\r\n"
                 u"■ city.zip:maps/c.xml\r\nXML の形式が正しくありません（"),
              std::u16string::npos);
    // The place names the member whole: two sheets of one archive may share
    // a file name in different folders.
    EXPECT_TRUE(text.ends_with(u"）。\r\nファイル: city.zip:maps/c.xml　1 行目\r\n\r\n"));
    // Each sheet adds to the text; none reads it back, which would cost the
    // whole text for every sheet of a large archive.
    EXPECT_EQ(std::count(ui.calls.begin(), ui.calls.end(), "resultText"), 0);
    // The heading keeps the member's folder, drops the archive's.
    EXPECT_EQ(units[1].heading, u"■ city.zip:b/clean.xml");
    // Where each report starts, for the window to map lines to findings.
    const auto lineOf = [&](std::u16string_view heading) {
        const auto before = std::u16string_view(text).substr(0, at(heading));
        return static_cast<std::int32_t>(std::count(before.begin(), before.end(), u'\n')) + 1;
    };
    EXPECT_EQ(units[0].firstResultLine, 1);
    EXPECT_EQ(units[1].firstResultLine, lineOf(u"■ city.zip:b/clean.xml"));
    EXPECT_EQ(units[2].firstResultLine, lineOf(u"■ city.zip:maps/c.xml"));
    // One box, naming the sheet.
    ASSERT_EQ(ui.places.size(), 1u);
    EXPECT_EQ(ui.places[0].file, archive.path().string() + ":maps/c.xml");
    // The list holds the last sheet's run, as the table does: none.
    EXPECT_TRUE(ui.items.empty());
}

// What the command line sees: each unit a run of its own, its text alone,
// its band read again, announced before it says anything.
TEST_F(CheckRun, PerUnitLayoutGivesEachUnitItsOwnText) {
    TempFile archive(test::zipOf({{"b.xml", "<地図>"}, {"a.xml", test::PairSheet}}), "city.zip");
    ui.toleranceField = u"10";
    std::vector<std::string> heard;
    std::vector<std::u16string> texts;
    std::vector<CheckedUnit> units;
    UnitHooks hooks;
    hooks.listed = [&](bool several) { heard.push_back(several ? "several" : "one"); };
    hooks.starting = [&](const CheckedUnit& unit) {
        heard.push_back("starting " + unit.name.filename().string() + " after " +
                        std::to_string(ui.messages.size()) + " messages");
    };
    hooks.done = [&](const PointTable& table, const CheckedUnit& unit) {
        heard.push_back("done " + unit.name.filename().string() + " " +
                        std::to_string(table.findings.size()) + " findings, " +
                        std::to_string(ui.messages.size()) + " messages");
        texts.push_back(ui.resultField);
        units.push_back(unit);
    };
    const PathRun run = checkPath(data(), ui, archive.path(), ResultTextLayout::PerUnit, hooks);

    EXPECT_EQ(heard,
              (std::vector<std::string>{"several", "starting city.zip:a.xml after 0 messages",
                                        "done city.zip:a.xml 1 findings, 0 messages",
                                        "starting city.zip:b.xml after 0 messages",
                                        "done city.zip:b.xml 0 findings, 1 messages"}));
    ASSERT_EQ(run.unitCount, 2u);
    ASSERT_EQ(units.size(), 2u);
    // No heading in the text, and the failed sheet leaves an empty one.
    EXPECT_TRUE(texts[0].starts_with(u"同一座標値\r\n"));
    EXPECT_EQ(texts[1], u"");
    EXPECT_EQ(units[0].heading, u"■ city.zip:a.xml");
    EXPECT_EQ(units[0].firstResultLine, 0);
    ASSERT_TRUE(units[1].error);
    EXPECT_EQ(units[1].error->place().file, archive.path().string() + ":b.xml");
    EXPECT_EQ(run.points, 2);
    // The out-of-range tolerance was set right once a unit: the field is
    // that unit's alone.
    EXPECT_EQ(std::count(ui.visible.begin(), ui.visible.end(), "setToleranceText:0.05"), 1);
}

// A path that cannot be listed, or that the front end refuses, is one unit
// that failed: announced, shown in a box, given back with its error.
TEST_F(CheckRun, APathThatCannotBeListedIsOneFailedUnit) {
    TempFile archive(test::zipOf({{"a.xml", test::PairSheet}, {"b.xml", test::PairSheet}}),
                     "city.zip");
    struct Case {
        std::filesystem::path path;
        bool refuse;
        std::u16string message;
    };
    const Case cases[] = {
        {"/nonexistent/site.sim", false, u"実行時エラー '53':\r\n\r\nファイルが見つかりません。"},
        {archive.path(), true, u"two units"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.string());
        RecordingUiSink sink;
        int starts = 0;
        int dones = 0;
        UnitHooks hooks;
        hooks.listed = [&](bool several) {
            if (c.refuse && several)
                throw RunError::withoutNumber(u"two units");
        };
        hooks.starting = [&](const CheckedUnit& unit) {
            ++starts;
            EXPECT_EQ(unit.name, c.path);
            EXPECT_FALSE(unit.ofSeveral());
        };
        hooks.done = [&](const PointTable&, const CheckedUnit& unit) {
            ++dones;
            EXPECT_FALSE(unit.summary);
        };
        const PathRun run = checkPath(data(), sink, c.path, ResultTextLayout::Joined, hooks);
        EXPECT_EQ(starts, 1);
        EXPECT_EQ(dones, 1);
        ASSERT_EQ(run.unitCount, 1u);
        ASSERT_TRUE(run.last.error);
        EXPECT_EQ(sink.messages, std::vector<std::u16string>{c.message});
        EXPECT_EQ(sink.resultField, u"");
        EXPECT_TRUE(sink.items.empty());
    }
}

// What a front end keeps of a unit once the table has moved on: its lines,
// its findings when asked; a failed unit of several prints its heading and
// error bare.
TEST_F(CheckRun, KeptUnitReportsOutliveTheTable) {
    TempFile archive(test::zipOf({{"b.xml", "<地図>"}, {"a.xml", test::PairSheet}}), "city.zip");
    std::vector<UnitReport> kept;
    UnitHooks hooks;
    hooks.done = [&](const PointTable& table, const CheckedUnit& unit) {
        kept.push_back(keepUnitReport(table, unit, true));
    };
    checkPath(data(), ui, archive.path(), ResultTextLayout::Joined, hooks);

    ASSERT_EQ(kept.size(), 2u);
    ASSERT_EQ(kept[0].lines.size(), 3u);
    EXPECT_EQ(kept[0].lines[0], u"同一座標値");
    ASSERT_TRUE(kept[0].findings);
    ASSERT_EQ(kept[0].findings->findings.size(), 1u);
    const FoundPair& pair = kept[0].findings->findings[0];
    EXPECT_DOUBLE_EQ(pair.first.y + pair.second.y, 2.01);
    EXPECT_FALSE(kept[1].summary);
    EXPECT_FALSE(kept[1].findings);
    ASSERT_GE(kept[1].lines.size(), 3u);
    EXPECT_EQ(kept[1].lines[0], u"■ city.zip:b.xml");
    EXPECT_EQ(kept[1].lines.back(), u"");
}

TEST_F(CheckRun, ErrorTextCarriesNumberAndMessage) {
    RecordingUiSink sink;
    ASSERT_EQ(runFile(data(), sink, "/nonexistent/folder/points.sim"), 53);
    EXPECT_EQ(sink.messages.at(0), u"実行時エラー '53':\r\n\r\nファイルが見つかりません。");
}

// A front end that only counts the list (the command line without --list)
// gets the same count and the same report, without the items' texts.
TEST_F(CheckRun, AListThatIsOnlyCountedChangesNothingElse) {
    TempFile file(simaFile(
        {u"A01,1,P1,1,1,", u"A01,2,P1,1,2,", u"A01,3,Q,5,5,", u"A01,4,R,5,5.01,", u"Z,5,P1,9,9,"}));
    RecordingUiSink shown;
    RecordingUiSink counted;
    counted.showsItems = false;
    ASSERT_EQ(runFile(data(), shown, file.path()), test::Completes);
    ASSERT_EQ(runFile(data(), counted, file.path()), test::Completes);
    EXPECT_EQ(counted.items.size(), shown.items.size());
    EXPECT_EQ(shown.items.size(), 12u); // two names, one place
    EXPECT_TRUE(std::all_of(counted.items.begin(), counted.items.end(),
                            [](const std::u16string& item) { return item.empty(); }));
    EXPECT_EQ(counted.resultField, shown.resultField);
    EXPECT_EQ(counted.messages, shown.messages);
}

// A long report is made in two halves at once, in UTF-16 for the window and
// in UTF-8 for the command line: the text must still be every line in order.
TEST_F(CheckRun, ALongReportIsEveryLineInOrderInEitherEncoding) {
    std::vector<std::u16string> records;
    for (int k = 0; k < 7'000; ++k)
        for (int twice = 0; twice < 2; ++twice) {
            const std::u16string n = toUtf16(std::to_string(2 * k + twice + 1));
            // Long names, so that each half of the report is several pieces.
            records.push_back(u"A01," + n + u",境界" + toUtf16(std::to_string(k)) +
                              std::u16string(200, u'X') + u"," + n + u",1,");
        }
    TempFile file(simaFile(records));
    for (const bool utf8 : {false, true}) {
        SCOPED_TRACE(utf8 ? "UTF-8" : "UTF-16");
        RecordingUiSink sink;
        sink.utf8Text = utf8;
        sink.answers = {Answer::No}; // to "too many findings, stop?"
        ASSERT_EQ(runFile(data(), sink, file.path()), test::Completes);
        const ReportLines lines = data().writtenReportLines();
        ASSERT_EQ(lines.size(), 21'000u);
        std::u16string expected;
        for (std::size_t i = 0; i < lines.size(); ++i)
            expected += lines[i] + u"\r\n";
        // Not EXPECT_EQ: a failure would print some megabytes of text.
        EXPECT_TRUE(sink.resultField == expected + u"\r\n"); // and the empty last line
    }
}

TEST_F(CheckRun, PartialFindingsAreDroppedWhenARunFails) {
    // The name check finds a pair, then the coordinate check's keys overflow.
    TempFile file(simaFile({u"A01,1,P1,1,1,", u"A01,2,P1,1,2,", u"A01,3,Q,1e306,1,"}));
    ASSERT_EQ(runFile(data(), ui, file.path()), 6);
    EXPECT_TRUE(ui.items.empty());
    EXPECT_EQ(ui.resultField, u"");
    EXPECT_EQ(data().nextReportLine, 0);
    EXPECT_TRUE(data().findings.empty());
    EXPECT_TRUE(data().writtenReportLines().empty());
}

TEST_F(CheckRun, AReadThatFailsHalfWayLeavesNoPointBehind) {
    // 2,000 points, then a record cut short: the table held them all when
    // the error came, and the next, smaller file must not see one of them.
    std::vector<std::u16string> records;
    for (int i = 1; i <= 2000; ++i)
        records.push_back(u"A01," + toUtf16(std::to_string(i)) + u",P,1,1,");
    TempFile cut(simaFile(records) + "\r\nA01,2001,P,1");
    ASSERT_EQ(runFile(data(), ui, cut.path()), 62);
    // Each slot is empty, or gone with the room the file took.
    for (std::int32_t i : {1, 1000, 2000}) {
        if (static_cast<std::size_t>(i) >= data().names.size())
            continue;
        EXPECT_EQ(data().names[i], u"") << i;
        EXPECT_EQ(data().sortKeys[i], 0) << i;
    }
    TempFile small(simaFile({u"A01,1,Q,5,5,", u"A01,2,Q,9,9,"}));
    RecordingUiSink sink;
    EXPECT_EQ(runFile(data(), sink, small.path()), test::Completes);
    EXPECT_EQ(data().findings.size(), 1u);
    EXPECT_EQ(data().writtenReportLines().size(), 3u);
}

TEST_F(CheckRun, EveryEncodingGivesTheSameReportAndNamesItself) {
    const std::u16string text = u"G00,01,現場,\r\n"
                                u"A01,1,境界1,100,200,\r\n"
                                u"A01,2,境界1,100,200.02,\r\n"
                                u"Z,3,ｻﾝｶｸ,50,50,\r\n"
                                u"Z,4,ｻﾝｶｸ,50.01,50,\r\n";
    const struct {
        FileEncoding encoding;
        const char* name;
    } cases[] = {
        {FileEncoding::Cp932, "CP932"},
        {FileEncoding::Utf8, "UTF-8"},
        {FileEncoding::Utf8WithBom, "UTF-8 with BOM"},
        {FileEncoding::Utf16Le, "UTF-16LE"},
        {FileEncoding::Utf16Be, "UTF-16BE"},
    };
    std::u16string codePage932Report;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFile file(test::savedAs(c.encoding, text));
        RecordingUiSink sink;
        sink.files.push_back(file.path());
        const auto summary = runCheck(data(), sink);
        ASSERT_TRUE(summary);
        EXPECT_EQ(summary->encoding, c.name);
        EXPECT_EQ(summary->duplicateNames, 2);
        EXPECT_EQ(summary->coincidentPoints, 2);
        if (c.encoding == FileEncoding::Cp932)
            codePage932Report = sink.resultField;
        EXPECT_EQ(sink.resultField, codePage932Report);
    }
}

TEST_F(CheckRun, TheSinkCanForceAnEncoding) {
    // Two half-width katakana in code page 932, "ñ" in UTF-8.
    const std::string bytes = "A01,1,\xC3\xB1,100,200,\r\nA01,2,\xC3\xB1,300,400,\r\n";
    TempFile file(bytes);
    TempFile zipped(test::zipOf({{"a.sim", bytes}}), "a.zip");
    for (const auto& [choice, name, pointName, path] :
         {std::tuple{EncodingChoice::Auto, "UTF-8", u"ñ", file.path()},
          std::tuple{EncodingChoice::Cp932, "CP932", u"ﾃｱ", file.path()},
          std::tuple{EncodingChoice::Cp932, "CP932", u"ﾃｱ", zipped.path()}}) {
        SCOPED_TRACE(path.filename().string() + " " + name);
        RecordingUiSink sink;
        sink.files.push_back(path);
        sink.encoding = choice;
        const auto summary = runCheck(data(), sink);
        ASSERT_TRUE(summary);
        EXPECT_EQ(summary->encoding, name);
        EXPECT_EQ(data().names[1], pointName);
    }
}

TEST_F(CheckRun, ResetClearsEverySlot) {
    TempFile file(simaFile({u"A01,1,P1,1,1,", u"A01,2,P1,1,2,", u"A01,3,P3,5,6,"}));
    run(file);
    ASSERT_EQ(data().pointCount, 3);
    // A writer of the last slot says so, as the reader does.
    data().usedSlots = TableCapacity;
    data().nextReportLine = TableCapacity;
    data().makeRoomForPoint(TableCapacity);
    data().names.assign(TableCapacity, u"last");
    data().sortKeys[TableCapacity] = 7;

    RecordingUiSink sink;
    resetRun(data(), sink);
    EXPECT_EQ(data().pointCount, 0);
    EXPECT_EQ(data().nextReportLine, 0);
    // The room the last slot took is given back: a small file after a large
    // one costs what it holds.
    EXPECT_LT(data().names.size(), static_cast<std::size_t>(TableCapacity));
    EXPECT_TRUE(data().findings.empty());
    for (std::int32_t i : {1, 2, 3}) {
        SCOPED_TRACE(i);
        EXPECT_EQ(data().numbers[i], 0);
        EXPECT_EQ(data().names[i], u"");
        EXPECT_EQ(data().xs[i], 0);
        EXPECT_EQ(data().ys[i], 0);
        EXPECT_EQ(data().sortKeys[i], 0);
        EXPECT_EQ(data().sortOrder[i], 0);
    }
    const std::vector<std::string> expected = {"clearResultList", "setResultText:empty"};
    EXPECT_EQ(sink.visible, expected);
}

// Files of one job: site1.sim and the others beside it, in one folder.
class JobFiles {
public:
    explicit JobFiles(const std::vector<std::pair<std::string, std::string>>& files)
        : m_first(files.front().second, files.front().first) {
        m_paths.push_back(m_first.path());
        for (std::size_t i = 1; i < files.size(); ++i) {
            m_paths.push_back(m_first.folder() / files[i].first);
            std::ofstream(m_paths.back(), std::ios::binary) << files[i].second;
        }
    }
    const std::vector<std::filesystem::path>& paths() const { return m_paths; }

private:
    TempFile m_first;
    std::vector<std::filesystem::path> m_paths;
};

// A name and a spot that two files share are found; a point line names its
// file only where the finding's two points come from two files.
TEST_F(CheckRun, AJobFindsWhatItsFilesShareAndNamesTheirFiles) {
    const JobFiles job(
        {{"site1.sim", simaFile({u"A01,1,P1,100,200,", u"A01,2,K,300,400,", u"A01,3,K,310,400,"})},
         {"site2.sim", simaFile({u"A01,1,P1,150,250,", u"A01,2,Q,300.01,400,"})}});
    ui.files.clear();
    const PathRun run = checkJob(data(), ui, job.paths(), ResultTextLayout::Joined);

    EXPECT_EQ(run.file.filename(), "site1.sim ほか 1 ファイル");
    ASSERT_TRUE(run.last.summary);
    EXPECT_EQ(run.last.summary->points, 5);
    EXPECT_FALSE(run.last.ofSeveral());
    EXPECT_EQ(ui.resultField,
              u"同一名称\r\n"
              u"     3  K              310.000   400.000  較差 10.000\r\n"
              u"     2  K              300.000   400.000\r\n"
              u"同一名称\r\n"
              u"     1  P1             150.000   250.000  site2.sim  較差 70.711\r\n"
              u"     1  P1             100.000   200.000  site1.sim\r\n"
              u"同一座標値\r\n"
              u"     2  K              300.000   400.000  site1.sim  較差 0.010\r\n"
              u"     2  Q              300.010   400.000  site2.sim\r\n"
              u"\r\n");
}

// Adjacent sheets of one ZIP share their boundary points: read one after the
// other, numbered on, named by their member.
TEST_F(CheckRun, AJobOfAnArchiveComparesItsSheets) {
    TempFile archive(test::zipOf({{"a.xml", test::PairSheet}, {"b.xml", test::PairSheet}}),
                     "city.zip");
    checkJob(data(), ui, {archive.path()}, ResultTextLayout::Joined);
    EXPECT_EQ(data().pointCount, 4);
    EXPECT_NE(
        ui.resultField.find(u"     1                 1.000   1.000  city.zip:a.xml  較差 0.000\r\n"
                            u"     1                 1.000   1.000  city.zip:b.xml\r\n"),
        std::u16string::npos);
}

// A file that fails fails the job, naming the file and the line.
TEST_F(CheckRun, AFileThatFailsFailsTheJob) {
    const std::string good = simaFile({u"A01,1,P1,100,200,"});
    TempFile otherZone(
        test::zipOf({{"a.xml", test::PairSheet},
                     {"b.xml", std::regex_replace(test::PairSheet, std::regex("9系"), "10系")}}),
        "city.zip");
    struct Case {
        const char* what;
        std::string second;
        std::string name;
        std::u16string message;
        std::int32_t line;
    };
    const Case cases[] = {
        {"a bad record", "A01,1,P1,1,2,\r\nA01,2,P2,abc,2,\r\n", "bad.sim",
         u"A01 レコードの X 座標「abc」を数値として読めません。", 2},
        {"no records", "G00,01,header only,\r\n", "empty.sim",
         u"座標レコード（A01、Z）が見つかりません。", 0},
        {"another zone", test::readFile(otherZone.path()), "city.zip",
         u"座標系が先に読んだ地図XMLと異なるため、まとめて検査できません。", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const JobFiles job({{"site1.sim", good}, {c.name, c.second}});
        RecordingUiSink sink;
        const PathRun run = checkJob(data(), sink, job.paths(), ResultTextLayout::Joined);
        EXPECT_FALSE(run.last.summary);
        EXPECT_EQ(sink.messages, std::vector<std::u16string>{c.message});
        ASSERT_EQ(sink.places.size(), 1u);
        EXPECT_EQ(sink.places[0].file.filename().string().substr(0, c.name.size()), c.name);
        EXPECT_EQ(sink.places[0].line, c.line);
        EXPECT_EQ(data().pointCount, 0);
    }
}

// Over the table's capacity the job is refused with the points it holds:
// counted in full, or at least those that could be counted.
TEST_F(CheckRun, AJobOverTheTableSaysHowManyPointsItHolds) {
    const auto points = [](std::int32_t count, std::int32_t first) {
        std::string bytes;
        for (std::int32_t n = first; n < first + count; ++n)
            bytes += "A01," + std::to_string(n) + ",N" + std::to_string(n) + "," +
                     std::to_string(n) + ",0,\r\n";
        return bytes;
    };
    const JobFiles job({{"big1.sim", points(300'000, 0)},
                        {"big2.sim", points(250'000, 1'000'000)},
                        {"small.sim", points(3, 2'000'000)}});
    std::vector<std::filesystem::path> withMissing = job.paths();
    withMissing.push_back(job.paths()[0].parent_path() / "gone.sim");
    const std::pair<std::vector<std::filesystem::path>, std::u16string> cases[] = {
        {job.paths(), u"まとめて検査する 3 ファイルの点は合わせて 550003 点です。"},
        {withMissing, u"まとめて検査する 4 ファイルの点は少なくとも 550003 点です。"},
    };
    for (const auto& [files, count] : cases) {
        RecordingUiSink sink;
        checkJob(data(), sink, files, ResultTextLayout::Joined);
        EXPECT_EQ(sink.messages,
                  std::vector<std::u16string>{u"座標数が上限（499999点）を超えています。" + count});
        ASSERT_EQ(sink.places.size(), 1u);
        EXPECT_EQ(sink.places[0].file, job.paths()[1]);
        EXPECT_EQ(sink.places[0].line, 200'000);
    }
}

} // namespace
} // namespace morvane
