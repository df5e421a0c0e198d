#include "run/CheckRun.h"

#include "checks/CoincidentPoints.h"
#include "checks/DuplicateNames.h"
#include "checks/DuplicateNumbers.h"
#include "checks/KeySort.h"
#include "checks/LookAlikeNames.h"
#include "core/LeadingNumber.h"
#include "core/NumberFormat.h"
#include "core/PathText.h"
#include "core/PointTable.h"
#include "core/RunError.h"
#include "core/SecondThread.h"
#include "core/Text.h"
#include "core/UiSink.h"
#include "input/Cp932.h"
#include "input/PointSources.h"

#include <functional>
#include <type_traits>
#include <utility>

namespace morvane {

namespace {

constexpr double MaxTolerance = 9.99;
const std::u16string DefaultTolerance = u"0.05";
constexpr std::u16string_view LineBreak = u"\r\n";
constexpr std::u16string_view NothingFound = u"同一座標はありませんでした";

// "較差「0,05」を数値として読めません。": the field as its label names it, and
// the text as typed, without the line breaks and spaces around it.
std::optional<std::u16string> bandTextRefusal(std::u16string_view field, std::u16string_view text) {
    const auto isBlank = [](char16_t c) {
        return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\u3000';
    };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    if (text.empty())
        return std::u16string(field) + u"が入力されていません。";
    // Inside, CR comes only with LF, which the rule skips as it skips spaces.
    std::u16string read;
    for (char16_t c : text)
        if (c != u'\r')
            read += c;
    // A pasted page must not make the message a page.
    constexpr std::size_t MaxShown = 40;
    std::u16string shown = read;
    if (shown.size() > MaxShown)
        shown = shown.substr(0, MaxShown - (isHighSurrogate(shown[MaxShown - 1]) ? 1 : 0)) + u"…";
    try {
        if (wholeFieldNumber(read))
            return std::nullopt;
    } catch (const RunError&) { // beyond a double
        return std::u16string(field) + u"「" + shown + u"」が大きすぎます。";
    }
    return std::u16string(field) + u"「" + shown + u"」を数値として読めません。";
}

void validateTolerance(UiSink& ui) {
    // Two separate reads, as a user may watch the field change: both tests
    // are strict, so 0 and 9.99 stay.
    if (fieldNumber(ui.toleranceText()) < 0)
        ui.setToleranceText(DefaultTolerance);
    if (fieldNumber(ui.toleranceText()) > MaxTolerance)
        ui.setToleranceText(DefaultTolerance);
}

void showStatus(UiSink& ui, const std::u16string& text) {
    ui.setStatusText(text);
    ui.redraw();
}

std::int32_t lineCount(std::u16string_view text) {
    std::int32_t lines = 0;
    for (std::size_t at = text.find(LineBreak); at != std::u16string_view::npos;
         at = text.find(LineBreak, at + LineBreak.size()))
        ++lines;
    return lines;
}

// What a run of several units knows of the result text it adds to, without
// reading it back: a text of many sheets is read and set again for none.
struct JoinedText {
    std::int32_t lines = 0;
    // The last four code units at most: enough to tell a blank line.
    std::u16string tail;

    void added(std::u16string_view text) {
        lines += lineCount(text);
        tail += text.substr(text.size() - std::min<std::size_t>(text.size(), 4));
        tail.erase(0, tail.size() - std::min<std::size_t>(tail.size(), 4));
    }
    void add(UiSink& ui, const std::u16string& text) {
        ui.appendResultText(text);
        added(text);
    }
};

// A long report goes into the result text in pieces of about this many
// code units, so that no second whole copy of it is ever held.
constexpr std::size_t ResultTextPiece = std::size_t{1} << 20;

// From this many report lines on, the second half of a report is made on a
// second thread while the first is made here: a full report takes about a
// tenth of a second to write.
constexpr std::size_t LinesForTwoThreads = 20'000;

// Report lines [begin, end), each with CR LF, in pieces of about
// ResultTextPiece code units, each full piece handed to add; returns the last
// piece, not full.
template <class Text, class Add>
Text reportPieces(const ReportLines& lines, std::size_t begin, std::size_t end, const Add& add) {
    // A finding's three lines apart: its points are asked for two and one
    // findings ahead.
    constexpr std::size_t FirstAhead = 2 * ReportLinesPerFinding;
    constexpr std::size_t SecondAhead = ReportLinesPerFinding;
    Text text;
    for (std::size_t i = begin; i < end; ++i) {
        if (i % ReportLinesPerFinding == 0) {
            lines.prefetchFirst(i + FirstAhead);
            lines.prefetchSecond(i + SecondAhead);
        }
        lines.appendTo(text, i);
        if constexpr (std::is_same_v<Text, std::string>)
            text += "\r\n";
        else
            text += LineBreak;
        if (text.size() >= ResultTextPiece) {
            add(text);
            text.clear();
            // A long report: its pieces are of about one length.
            text.reserve(ResultTextPiece + ResultTextPiece / 16);
        }
    }
    return text;
}

template <class Text>
void putReportInPieces(const PointTable& table, std::u16string_view lastLine,
                       std::u16string_view closing, const std::function<void(Text&)>& addText) {
    const ReportLines lines = table.writtenReportLines();
    Text text;
    if (lines.size() < LinesForTwoThreads) {
        text = reportPieces<Text>(lines, 0, lines.size(), addText);
    } else {
        const std::size_t half = lines.size() / 2;
        std::vector<Text> secondPieces;
        Text secondLast;
        runBeside(
            [&] {
                secondLast = reportPieces<Text>(lines, half, lines.size(), [&](Text& piece) {
                    secondPieces.push_back(std::move(piece));
                });
            },
            [&] { text = reportPieces<Text>(lines, 0, half, addText); });
        addText(text);
        for (Text& piece : secondPieces)
            addText(piece);
        text = std::move(secondLast);
    }
    appendText(text, lastLine);
    appendText(text, LineBreak);
    appendText(text, closing);
    addText(text);
}

// Report lines 1..nextReportLine-1, each with CR LF, then the line at
// nextReportLine (lastLine, empty after findings) with CR LF, then the
// closing lines (each with its CR LF), added to the result text (and noted in
// joined, when given).
void putReportIntoResultText(const PointTable& table, UiSink& ui, std::u16string_view lastLine,
                             std::u16string_view closing, JoinedText* joined) {
    if (table.nextReportLine < 1)
        return;
    // A joined text counts its lines and keeps its end in UTF-16.
    if (!joined && ui.keepsResultTextInUtf8()) {
        putReportInPieces<std::string>(table, lastLine, closing, [&](std::string& text) {
            ui.appendResultTextUtf8(std::exchange(text, {}));
        });
        return;
    }
    putReportInPieces<std::u16string>(table, lastLine, closing, [&](std::u16string& text) {
        if (joined)
            joined->add(ui, text);
        else
            ui.appendResultText(text);
        text.clear();
    });
}

// "名称検査は 1001 件で打ち切りました。": a check that ended early says so
// at the end of the result text, where a reader of the report looks for the
// verdict; otherwise the report would read as the whole answer.
std::u16string stopLine(std::u16string_view check, CheckEnd end, std::int32_t findings) {
    if (end == CheckEnd::Finished)
        return u"";
    const std::u16string why = end == CheckEnd::ReportFull ? u"結果が上限に達したため、" : u"";
    return why + std::u16string(check) + u"検査は " + formatInteger(findings) +
           u" 件で打ち切りました。" + std::u16string(LineBreak);
}

std::u16string stopLines(const RunSummary& summary) {
    return stopLine(u"名称", summary.duplicateNameCheck, summary.duplicateNames) +
           stopLine(u"座標", summary.coincidentPointCheck, summary.coincidentPoints) +
           stopLine(u"点番号", summary.duplicateNumberCheck, summary.duplicateNumbers);
}

// "較差の範囲 0.05 ≤ d < 0.05 が空のため、座標検査は行いませんでした。":
// with no distance in the band, "nothing found" would claim a check that
// could find nothing.
std::u16string emptyBandLine(const RunSummary& summary) {
    return u"較差の範囲 " + formatShortest(summary.lower) + u" ≤ d < " +
           formatShortest(summary.tolerance) + u" が空のため、座標検査は行いませんでした。";
}

// Names as written meet in the order of the keys the reader gave them; names
// compared as they read are keyed again by the check, from their forms.
CheckEnd checkNames(PointTable& table, UiSink& ui, NameComparison comparison) {
    if (comparison == NameComparison::LookAlike)
        return checkLookAlikeNames(table, ui, NameKey);
    sortByKey(table);
    return checkDuplicateNames(table, ui);
}

// Reads the source into the table and runs the chosen checks, with the
// status line naming each phase; fills in what the summary learns on the way.
void readAndCheck(PointTable& table, UiSink& ui, const PointSource& source, RunSummary& summary) {
    ui.setStatusColor(StatusBusyColor);
    ui.setStatusText(u"  座標読み込み中");
    ui.setBusyCursor(true);
    ui.redraw();
    ui.setBusyCursor(true);
    ui.redraw();
    const SourceReading reading = source.read(table, ui.coordinateFileEncoding());
    summary.encoding = reading.encoding;
    summary.coordinateSystem = reading.coordinateSystem;
    // A file without a single record is no coordinate file at all, not a
    // clean one.
    if (table.pointCount == 0)
        throw noPointsError(source.format(), source.displayName());

    summary.points = table.pointCount;
    table.nextReportLine = 1;
    summary.checks = ui.checkChoice();
    // Each check's findings are the report lines it added.
    std::int32_t from = table.nextReportLine;
    if (summary.checks.duplicateNames) {
        showStatus(ui, u"  名称検査中");
        summary.duplicateNameCheck = checkNames(table, ui, summary.checks.names);
        summary.duplicateNames = findingsInReportLines(table.nextReportLine - from);
    }
    if (summary.checks.coincidentPoints) {
        showStatus(ui, u"  座標検査中");
        from = table.nextReportLine;
        summary.coincidentPointCheck = checkCoincidentPoints(table, ui);
        summary.coincidentPoints = findingsInReportLines(table.nextReportLine - from);
    }
    // Last, so that the two other checks' findings keep their places.
    if (summary.checks.duplicateNumbers) {
        showStatus(ui, u"  点番号検査中");
        from = table.nextReportLine;
        summary.duplicateNumberCheck = checkDuplicateNumbers(table, ui);
        summary.duplicateNumbers = findingsInReportLines(table.nextReportLine - from);
    }
}

// Everything of a run after the source is known.
RunSummary checkSource(PointTable& table, UiSink& ui, const PointSource& source,
                       JoinedText* joined = nullptr) {
    RunSummary summary;
    summary.file = source.displayName();
    summary.startedAt = std::chrono::system_clock::now();
    // Read as the coordinate check reads them; nothing changes the fields
    // while the run works.
    summary.lower = fieldNumber(ui.lowerBoundText());
    summary.tolerance = fieldNumber(ui.toleranceText());

    try {
        readAndCheck(table, ui, source, summary);
    } catch (RunError& e) {
        // Whatever stopped the run, it stopped on this source, or on the file
        // of a job that the error names.
        if (e.place().file.empty())
            e.setFile(source.displayName());
        throw;
    }

    ui.setStatusText(u"");
    ui.setBusyCursor(false);
    ui.redraw();

    // Every finding adds four items, so fewer than two means none at all. The
    // result text says so too: a blank one looks like a cancelled run.
    const bool nothingFound = ui.resultItemCount() < 2;
    const std::u16string notRun =
        summary.checks.coincidentPoints && summary.bandEmpty() ? emptyBandLine(summary) : u"";
    std::u16string lastLine;
    if (nothingFound) {
        lastLine = notRun.empty() ? std::u16string(NothingFound) : notRun;
        ui.addResultItem(lastLine);
    }
    const std::u16string notRunLine =
        nothingFound || notRun.empty() ? u"" : notRun + std::u16string(LineBreak);
    putReportIntoResultText(table, ui, lastLine, notRunLine + stopLines(summary), joined);
    ui.setStatusColor(StatusIdleColor);
    return summary;
}

// A partial check must not pass for a whole one, on screen, on paper or as
// data. Gives the window back, ready for the next run, with this result text
// (or, when added, the text as it was with this added).
void dropPartialRun(PointTable& table, UiSink& ui, const std::u16string& resultText,
                    bool added = false) {
    table.clear();
    ui.clearResultList();
    if (!added)
        ui.setResultText(resultText);
    else if (!resultText.empty())
        ui.appendResultText(resultText);
    ui.setBusyCursor(false);
    ui.setStatusText(u"");
    ui.setStatusColor(StatusIdleColor);
    ui.redraw();
}

void showRunError(UiSink& ui, const std::exception& error) {
    const auto* e = dynamic_cast<const RunError*>(&error);
    ui.showError(errorText(error, LineBreak), e ? e->place() : ErrorPlace{});
}

RunError asRunError(const std::exception& error) {
    if (const auto* e = dynamic_cast<const RunError*>(&error))
        return *e;
    return RunError::withoutNumber(toUtf16(error.what()));
}

// The error as the result text shows it under the failed unit's heading: the
// message box's text, then where it arose, then a blank line.
std::vector<std::u16string> errorLines(const std::exception& error) {
    std::u16string text = errorText(error, LineBreak);
    if (const auto* e = dynamic_cast<const RunError*>(&error)) {
        const std::u16string where = errorPlaceText(e->place());
        if (!where.empty())
            text += std::u16string(LineBreak) + where;
    }
    std::vector<std::u16string> lines;
    for (std::size_t from = 0;;) {
        const std::size_t end = text.find(LineBreak, from);
        if (end == std::u16string::npos) {
            lines.push_back(text.substr(from));
            break;
        }
        lines.push_back(text.substr(from, end - from));
        from = end + LineBreak.size();
    }
    lines.emplace_back();
    return lines;
}

// The unit's display name without the folder of the checked path, which a
// member's own folders must not lose.
std::u16string unitHeading(const std::filesystem::path& path, const PointSource& source) {
    const std::string name = source.displayName().string();
    const std::string folder = path.parent_path().string();
    const bool inFolder = !folder.empty() && name.starts_with(folder + "/");
    return u"■ " + toUtf16(inFolder ? name.substr(folder.size() + 1) : name);
}

// The path could not be opened or listed: it stands as one unit that failed.
CheckedUnit failedPath(PointTable& table, UiSink& ui, const std::filesystem::path& path,
                       const RunError& error, const UnitHooks& hooks) {
    CheckedUnit unit{path, u"", std::nullopt, error, errorLines(error), 0};
    if (hooks.starting)
        hooks.starting(unit);
    abandonRun(table, ui, error);
    if (hooks.done)
        hooks.done(table, unit);
    return unit;
}

} // namespace

std::optional<BandRefusal> refusedBand(std::u16string_view lower, std::u16string_view tolerance) {
    if (auto message = bandTextRefusal(u"較差の下限", lower))
        return BandRefusal{BandField::LowerBound, std::move(*message)};
    if (auto message = bandTextRefusal(u"較差", tolerance))
        return BandRefusal{BandField::Tolerance, std::move(*message)};
    return std::nullopt;
}

bool bandAccepted(UiSink& ui) {
    const auto refusal = refusedBand(ui.lowerBoundText(), ui.toleranceText());
    if (refusal)
        ui.refuseBand(refusal->field, refusal->message);
    return !refusal;
}

void resetRun(PointTable& table, UiSink& ui) {
    table.clear();
    ui.clearResultList();
    ui.setResultText(u"");
}

namespace {

// What one check covers: a path, its units checked apart, or the paths of a
// job, checked together as one unit.
struct CheckedPaths {
    std::vector<std::filesystem::path> files;
    bool together = false;

    std::filesystem::path name() const { return together ? jobName(files) : files.front(); }
    PointSourceList sources() const {
        return together ? PointSourceList(files, name()) : PointSourceList(files.front());
    }
};

// checkPath once the fields are validated and the run reset, for a joined
// result text.
PathRun checkResetPath(PointTable& table, UiSink& ui, const CheckedPaths& paths,
                       ResultTextLayout layout, const UnitHooks& hooks) {
    const bool joined = layout == ResultTextLayout::Joined;
    const std::filesystem::path path = paths.name();
    PathRun run;
    run.file = path;
    // Joined, what every unit reads: nothing changes the fields while a run
    // works. Each unit apart reads them anew (see below).
    run.lower = fieldNumber(ui.lowerBoundText());
    run.tolerance = fieldNumber(ui.toleranceText());
    std::optional<PointSourceList> sources;
    try {
        sources.emplace(paths.sources());
        if (hooks.listed)
            hooks.listed(sources->several());
    } catch (const RunError& e) {
        run.last = failedPath(table, ui, path, e, hooks);
        run.unitCount = 1;
        return run;
    }
    const bool several = sources->several();
    // The joined result text of the units done so far.
    JoinedText done;
    while (const std::optional<PointSource> next = sources->next()) {
        const PointSource& source = *next;
        CheckedUnit unit{source.displayName(),
                         several ? unitHeading(path, source) : u"",
                         std::nullopt,
                         std::nullopt,
                         {},
                         0};
        if (hooks.starting)
            hooks.starting(unit);
        if (joined && several) {
            // Each unit is a run of its own: its questions, its list, its
            // table; the text keeps the units before it.
            table.clear();
            ui.clearResultList();
            // A blank line between units, where the report before did not
            // end with one.
            const bool blank = done.lines == 0 || done.tail == u"\r\n\r\n";
            done.add(ui, (blank ? u"" : std::u16string(LineBreak)) + unit.heading +
                             std::u16string(LineBreak));
            unit.firstResultLine = done.lines;
        } else if (!joined) {
            validateTolerance(ui);
            resetRun(table, ui);
        }
        try {
            unit.summary = checkSource(table, ui, source, joined && several ? &done : nullptr);
        } catch (const std::exception& e) {
            unit.error = asRunError(e);
            unit.errorLines = errorLines(e);
            // What the unit added ends with its report, which an error never
            // reaches: its heading stays, and its error below it.
            std::u16string errorText;
            if (joined && several)
                for (const std::u16string& line : unit.errorLines) {
                    errorText += line;
                    errorText += LineBreak;
                }
            done.added(errorText);
            dropPartialRun(table, ui, errorText, joined && several);
            showRunError(ui, e);
        }
        if (hooks.done)
            hooks.done(table, unit);
        ++run.unitCount;
        if (unit.summary) {
            run.points += unit.summary->points;
            run.lower = unit.summary->lower;
            run.tolerance = unit.summary->tolerance;
        }
        run.last = std::move(unit);
    }
    return run;
}

PathRun checkPaths(PointTable& table, UiSink& ui, const CheckedPaths& paths,
                   ResultTextLayout layout, const UnitHooks& hooks) {
    if (!bandAccepted(ui)) {
        PathRun refused;
        refused.file = paths.name();
        return refused;
    }
    if (layout == ResultTextLayout::Joined) {
        validateTolerance(ui);
        resetRun(table, ui);
    }
    return checkResetPath(table, ui, paths, layout, hooks);
}

} // namespace

PathRun checkPath(PointTable& table, UiSink& ui, const std::filesystem::path& path,
                  ResultTextLayout layout, const UnitHooks& hooks) {
    return checkPaths(table, ui, {{path}, false}, layout, hooks);
}

std::filesystem::path jobName(const std::vector<std::filesystem::path>& files) {
    if (files.size() < 2)
        return files.empty() ? std::filesystem::path() : files.front();
    return pathFromUtf8(
        files.front().string() +
        toUtf8(u" ほか " + toUtf16(std::to_string(files.size() - 1)) + u" ファイル"));
}

PathRun checkJob(PointTable& table, UiSink& ui, const std::vector<std::filesystem::path>& files,
                 ResultTextLayout layout, const UnitHooks& hooks) {
    return checkPaths(table, ui, {files, true}, layout, hooks);
}

std::optional<PathRun> runFileCheck(PointTable& table, UiSink& ui, const UnitHooks& hooks) {
    if (!bandAccepted(ui))
        return std::nullopt;
    validateTolerance(ui);
    resetRun(table, ui);
    const std::vector<std::filesystem::path> files = ui.chooseCoordinateFiles();
    if (files.empty()) {
        ui.setStatusColor(StatusIdleColor);
        return std::nullopt;
    }
    return checkResetPath(table, ui, {files, files.size() > 1}, ResultTextLayout::Joined, hooks);
}

std::optional<RunSummary> recheckUnit(PointTable& table, UiSink& ui,
                                      const std::filesystem::path& path,
                                      const std::filesystem::path& unitName) {
    resetRun(table, ui);
    try {
        PointSourceList sources(path);
        while (const std::optional<PointSource> source = sources.next())
            if (source->displayName() == unitName)
                return checkSource(table, ui, *source);
    } catch (const std::exception&) {
        // Changed or gone since: there is nothing to show of it.
    }
    dropPartialRun(table, ui, u"");
    return std::nullopt;
}

std::optional<RunSummary> runCheck(PointTable& table, UiSink& ui) {
    auto run = runFileCheck(table, ui);
    if (!run)
        return std::nullopt;
    return run->last.summary;
}

UnitReport keepUnitReport(const PointTable& table, const CheckedUnit& unit, bool withFindings) {
    UnitReport report;
    report.summary = unit.summary;
    if (unit.summary) {
        const ReportLines lines = table.writtenReportLines();
        report.lines.reserve(lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i)
            report.lines.push_back(lines[i]);
        if (withFindings)
            report.findings = fileFindings(table, *unit.summary);
    } else {
        // On paper without a footer: the heading names the unit.
        if (unit.ofSeveral())
            report.lines.push_back(unit.heading);
        report.lines.insert(report.lines.end(), unit.errorLines.begin(), unit.errorLines.end());
    }
    return report;
}

bool lookAlikeNamesBuiltIn() {
    return lookAlikeNamesAvailable();
}

bool pathMayHoldMapSheets(const std::filesystem::path& path) {
    return mayHoldMapSheets(path);
}

void abandonRun(PointTable& table, UiSink& ui, const std::exception& error) {
    dropPartialRun(table, ui, u"");
    showRunError(ui, error);
}

} // namespace morvane
