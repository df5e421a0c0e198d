#include "run/CheckRun.h"

#include "checks/CoincidentPoints.h"
#include "checks/DuplicateNames.h"
#include "checks/KeySort.h"
#include "core/LeadingNumber.h"
#include "core/NumberFormat.h"
#include "core/PointTable.h"
#include "core/RunError.h"
#include "core/Text.h"
#include "core/UiSink.h"
#include "input/PointSources.h"

namespace morvane {

namespace {

constexpr double MaxTolerance = 9.99;
const std::u16string DefaultTolerance = u"0.05";
constexpr std::u16string_view LineBreak = u"\r\n";
constexpr std::u16string_view NothingFound = u"同一座標はありませんでした";
constexpr std::u16string_view NoRecords = u"座標レコード（A01、Z）が見つかりません。";
constexpr std::u16string_view NoPoints = u"地図XMLに点（GM_Point）がありません。";

void validateTolerance(UiSink& ui) {
    // Two separate reads, as a user may watch the field change: both tests
    // are strict, so 0 and 9.99 stay.
    if (fieldNumber(ui.toleranceText()) < 0)
        ui.setToleranceText(DefaultTolerance);
    if (fieldNumber(ui.toleranceText()) > MaxTolerance)
        ui.setToleranceText(DefaultTolerance);
}

// Each finding is three report lines.
std::int32_t findingsSince(const PointTable& table, std::int32_t firstLine) {
    return (table.nextReportLine - firstLine) / 3;
}

void showStatus(UiSink& ui, const std::u16string& text) {
    ui.setStatusText(text);
    ui.redraw();
}

// Report lines 1..nextReportLine-1, each with CR LF, then the line at
// nextReportLine (lastLine, empty after findings) with CR LF, appended to the
// result text in one go.
void putReportIntoResultText(const PointTable& table, UiSink& ui, std::u16string_view lastLine) {
    if (table.nextReportLine < 1)
        return;
    std::u16string text = ui.resultText();
    std::size_t size = text.size() + lastLine.size() + LineBreak.size();
    for (std::int32_t i = 1; i < table.nextReportLine; ++i)
        size += table.reportLines[i].size() + LineBreak.size();
    text.reserve(size);
    for (std::int32_t i = 1; i < table.nextReportLine; ++i) {
        text += table.reportLines[i];
        text += LineBreak;
    }
    text += lastLine;
    text += LineBreak;
    ui.setResultText(text);
}

// Reads the source into the table and runs both checks, with the status
// line naming each phase; fills in what the summary learns on the way.
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
        throw RunError(
            0, std::u16string(source.format() == SourceFormat::MapSheet ? NoPoints : NoRecords));

    showStatus(ui, u"  名称検査中");
    sortByKey(table);
    summary.points = table.pointCount;
    table.nextReportLine = 1;
    summary.duplicateNameCheck = checkDuplicateNames(table, ui);
    summary.duplicateNames = findingsSince(table, 1);

    showStatus(ui, u"  座標検査中");
    const std::int32_t coincidentFrom = table.nextReportLine;
    summary.coincidentPointCheck = checkCoincidentPoints(table, ui);
    summary.coincidentPoints = findingsSince(table, coincidentFrom);
}

// Everything of a run after the source is known.
RunSummary checkSource(PointTable& table, UiSink& ui, const PointSource& source) {
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
        // Whatever stopped the run, it stopped on this source.
        e.setFile(source.displayName());
        throw;
    }

    ui.setStatusText(u"");
    ui.setBusyCursor(false);
    ui.redraw();

    // Every finding adds four items, so fewer than two means none at all. The
    // result text says so too: a blank one looks like a cancelled run.
    const bool nothingFound = ui.resultItemCount() < 2;
    if (nothingFound)
        ui.addResultItem(std::u16string(NothingFound));
    putReportIntoResultText(table, ui, nothingFound ? NothingFound : u"");
    ui.setStatusColor(StatusIdleColor);
    return summary;
}

// A partial check must not pass for a whole one, on screen, on paper or as
// data. Gives the window back, ready for the next run, with this result text.
void dropPartialRun(PointTable& table, UiSink& ui, const std::u16string& resultText) {
    table.clear();
    ui.clearResultList();
    ui.setResultText(resultText);
    ui.setBusyCursor(false);
    ui.setStatusText(u"");
    ui.setStatusColor(StatusIdleColor);
    ui.redraw();
}

constexpr std::u16string_view UnexpectedError = u"予期しないエラーが発生しました。";

void showRunError(UiSink& ui, const std::exception& error) {
    if (const auto* e = dynamic_cast<const RunError*>(&error))
        ui.showError(runErrorText(*e, LineBreak), e->place());
    else
        ui.showError(std::u16string(UnexpectedError) + std::u16string(LineBreak) +
                         toUtf16(error.what()),
                     {});
}

} // namespace

std::vector<std::u16string> errorLines(const std::exception& error) {
    std::u16string text;
    if (const auto* e = dynamic_cast<const RunError*>(&error)) {
        text = runErrorText(*e, LineBreak);
        const std::u16string where = errorPlaceText(e->place());
        if (!where.empty())
            text += std::u16string(LineBreak) + where;
    } else {
        text = std::u16string(UnexpectedError) + std::u16string(LineBreak) + toUtf16(error.what());
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

std::u16string sourceHeading(const std::filesystem::path& file, const PointSource& source) {
    const std::string name = source.displayName().string();
    const std::string folder = file.parent_path().string();
    const bool inFolder = !folder.empty() && name.starts_with(folder + "/");
    return u"■ " + toUtf16(inFolder ? name.substr(folder.size() + 1) : name);
}

namespace {

std::int32_t lineCount(std::u16string_view text) {
    std::int32_t lines = 0;
    for (std::size_t at = text.find(LineBreak); at != std::u16string_view::npos;
         at = text.find(LineBreak, at + LineBreak.size()))
        ++lines;
    return lines;
}

} // namespace

void resetRun(PointTable& table, UiSink& ui) {
    table.clear();
    ui.clearResultList();
    ui.setResultText(u"");
}

std::optional<FileRun> runFileCheck(PointTable& table, UiSink& ui, const SourceDone& sourceDone) {
    validateTolerance(ui);
    resetRun(table, ui);

    const auto path = ui.chooseCoordinateFile();
    if (!path) {
        ui.setStatusColor(StatusIdleColor);
        return std::nullopt;
    }
    FileRun run{*path, {}};
    const std::vector<PointSource> sources = pointSourcesOf(*path);
    if (sources.size() == 1) {
        run.sources.push_back(
            {sources.front().displayName(), checkSource(table, ui, sources.front()), u"", 0, {}});
        return run;
    }
    std::u16string done;
    for (const PointSource& source : sources) {
        // Each sheet is a run of its own: its questions, its list, its
        // table; the text keeps the sheets before it.
        table.clear();
        ui.clearResultList();
        // A blank line between sheets, where the report before did not end
        // with one.
        if (!done.empty() && !done.ends_with(u"\r\n\r\n"))
            done += LineBreak;
        SourceRun sourceRun{
            source.displayName(), std::nullopt, sourceHeading(*path, source), 0, {}};
        done += sourceRun.heading;
        done += LineBreak;
        ui.setResultText(done);
        sourceRun.firstResultLine = lineCount(done);
        try {
            sourceRun.summary = checkSource(table, ui, source);
            done = ui.resultText();
        } catch (const std::exception& e) {
            sourceRun.errorLines = errorLines(e);
            for (const std::u16string& line : sourceRun.errorLines) {
                done += line;
                done += LineBreak;
            }
            dropPartialRun(table, ui, done);
            showRunError(ui, e);
        }
        if (sourceDone)
            sourceDone(table, sourceRun);
        run.sources.push_back(std::move(sourceRun));
    }
    return run;
}

std::optional<RunSummary> runCheck(PointTable& table, UiSink& ui) {
    auto run = runFileCheck(table, ui);
    if (!run)
        return std::nullopt;
    return run->sources.back().summary;
}

RunSummary runSourceCheck(PointTable& table, UiSink& ui, const PointSource& source) {
    validateTolerance(ui);
    resetRun(table, ui);
    return checkSource(table, ui, source);
}

void abandonRun(PointTable& table, UiSink& ui, const std::exception& error) {
    dropPartialRun(table, ui, u"");
    showRunError(ui, error);
}

} // namespace morvane
