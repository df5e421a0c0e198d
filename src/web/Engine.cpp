// The page's engine: the one check of the programs, run in the page's worker
// over files the page wrote into the worker's memory. The worker's script
// (web/worker.js) calls these functions and reads what they return out of
// the module's memory; texts go in and out as UTF-8, the result text as
// UTF-16, as the run gives it.

#include "core/FileFindings.h"
#include "core/NumberFormat.h"
#include "core/PointTable.h"
#include "core/Text.h"
#include "core/UnitName.h"
#include "export/DataText.h"
#include "export/FindingsCsv.h"
#include "export/FindingsGeoJson.h"
#include "export/FindingsJson.h"
#include "export/PlaneToGeographic.h"
#include "output/ReportPrint.h"
#include "run/CheckRun.h"
#include "web/PageEvents.h"
#include "web/WebPrinter.h"
#include "web/WebSink.h"

#include <emscripten.h>
#include <map>
#include <memory>
#include <sstream>

using namespace morvane;

namespace {

// What the page keeps of each unit of the last check.
struct KeptUnit {
    CheckedUnit unit;
    UnitReport report;
};

struct Engine {
    std::unique_ptr<PointTable> table = std::make_unique<PointTable>();
    std::vector<std::filesystem::path> files;
    std::u16string lower;
    std::u16string tolerance;
    CheckChoice checks;
    std::unique_ptr<WebSink> sink;
    std::vector<KeptUnit> units;
    // The unit whose points the table holds; -1 for none.
    int tableUnit = -1;
    // The last text handed to the page; valid until the next call.
    std::string out;
};

Engine& engine() {
    static Engine e;
    return e;
}

std::vector<std::filesystem::path> lines(std::string_view text) {
    std::vector<std::filesystem::path> list;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        if (end > 0)
            list.emplace_back(std::string(text.substr(0, end)));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return list;
}

// "sample.sim（25点）較差 0 ≤ d < 0.05 m", as the window's title names a check.
std::u16string titleOf(const PathRun& run) {
    return toUtf16(shownUnitName(run.file).filename().string()) + u"（" +
           toUtf16(std::to_string(run.points)) + u"点）較差 " + formatShortest(run.lower) +
           u" ≤ d < " + formatShortest(run.tolerance) + u" m";
}

std::string unitsJson(const PathRun& run) {
    std::string json = "{\"title\":" + jsonString(toUtf8(titleOf(run))) +
                       ",\"tolerance\":" + jsonString(toUtf8(engine().tolerance)) + ",\"units\":[";
    bool first = true;
    for (const KeptUnit& kept : engine().units) {
        const CheckedUnit& unit = kept.unit;
        json += first ? "{" : ",{";
        first = false;
        json += "\"name\":" + jsonString(pathText(unit.name)) +
                ",\"heading\":" + jsonString(toUtf8(unit.heading)) +
                ",\"firstResultLine\":" + std::to_string(unit.firstResultLine);
        if (unit.summary) {
            const RunSummary& s = *unit.summary;
            const bool zone = s.coordinateSystem.kind == CoordinateSystem::Kind::PlaneZone;
            const bool local = s.coordinateSystem.kind == CoordinateSystem::Kind::Local;
            json += ",\"points\":" + std::to_string(s.points) +
                    ",\"zone\":" + std::to_string(zone ? s.coordinateSystem.zone : 0) +
                    ",\"local\":" + (local ? "true" : "false");
        } else {
            json += ",\"error\":" +
                    jsonString(toUtf8(unit.errorLines.empty() ? std::u16string()
                                                              : unit.errorLines.front()));
        }
        json += "}";
    }
    return json + "]}";
}

const char* handOut(std::string text) {
    engine().out = std::move(text);
    return engine().out.c_str();
}

} // namespace

namespace morvane {

EM_JS(void, morvaneTellPage, (int event, const char16_t* text, const char16_t* detail),
      { self.morvaneTell(event, UTF16ToString(text), UTF16ToString(detail)); });

void tellPage(PageEvent event, const std::u16string& text, const std::u16string& detail) {
    morvaneTellPage(static_cast<int>(event), text.c_str(), detail.c_str());
}

} // namespace morvane

extern "C" {

// Checks the files (UTF-8 paths, one a line: several are one job, as the
// window checks several files dropped at once) with the band as typed and
// the answers so far ("Y" stop, "N" go on, one a question). Returns a JSON
// object: the title, the tolerance as the run left it, and the units; null
// when the band was refused.
EMSCRIPTEN_KEEPALIVE const char* morvane_check(const char* paths, const char* lower,
                                               const char* tolerance, int checkNumbers,
                                               const char* answers) {
    Engine& e = engine();
    e.files = lines(paths);
    e.lower = toUtf16(lower);
    e.tolerance = toUtf16(tolerance);
    e.checks = CheckChoice{};
    e.checks.duplicateNumbers = checkNumbers != 0;
    std::vector<Answer> given;
    for (const char* a = answers; *a; ++a)
        given.push_back(*a == 'N' ? Answer::No : Answer::Yes);
    e.sink = std::make_unique<WebSink>(e.lower, e.tolerance, e.checks, std::move(given));
    e.units.clear();
    e.tableUnit = -1;

    UnitHooks hooks;
    hooks.starting = [](const CheckedUnit& unit) {
        tellPage(PageEvent::UnitStarting, toUtf16(pathText(unit.name)));
    };
    hooks.done = [](const PointTable& table, const CheckedUnit& unit) {
        Engine& e = engine();
        e.units.push_back({unit, keepUnitReport(table, unit, true)});
        e.tableUnit = unit.summary ? static_cast<int>(e.units.size()) - 1 : -1;
    };
    const PathRun run =
        e.files.size() > 1
            ? checkJob(*e.table, *e.sink, e.files, ResultTextLayout::Joined, hooks)
            : checkPath(*e.table, *e.sink, e.files.front(), ResultTextLayout::Joined, hooks);
    if (run.unitCount == 0)
        return nullptr;
    e.tolerance = e.sink->toleranceText();
    return handOut(unitsJson(run));
}

EMSCRIPTEN_KEEPALIVE const char16_t* morvane_result_text() {
    return engine().sink ? engine().sink->text().c_str() : u"";
}

EMSCRIPTEN_KEEPALIVE int morvane_question_count() {
    return engine().sink ? engine().sink->questionCount() : 0;
}

// The findings of the last check: 0 JSON Lines, 1 CSV, 2 GeoJSON (each unit
// in the zone it states, or in `zone` when it states none). A GeoJSON that
// cannot be written returns its reason after "error:".
EMSCRIPTEN_KEEPALIVE const char* morvane_findings(int format, int zone) {
    Engine& e = engine();
    std::ostringstream out;
    try {
        if (format == 1) {
            writeCsvHeader(out, e.files.size() > 1 ? CsvColumns::FindingsWithPointFiles
                                                   : CsvColumns::Findings);
            for (const KeptUnit& kept : e.units)
                if (kept.report.findings)
                    writeCsvRows(out, *kept.report.findings);
        } else if (format == 2) {
            GeoJsonWriter writer(out);
            std::map<std::int32_t, std::unique_ptr<PlaneToGeographic>> projections;
            for (const KeptUnit& kept : e.units) {
                if (!kept.report.findings)
                    continue;
                const CoordinateSystem& stated = kept.report.findings->summary.coordinateSystem;
                if (stated.kind == CoordinateSystem::Kind::Local)
                    throw ProjectionError(pathText(kept.unit.name) +
                                          ": 任意座標系のため地図上に置けません。");
                const std::int32_t unitZone =
                    stated.kind == CoordinateSystem::Kind::PlaneZone ? stated.zone : zone;
                if (unitZone == 0)
                    throw ProjectionError(pathText(kept.unit.name) +
                                          ": 系番号が分かりません。系を選んでください。");
                auto& projection = projections[unitZone];
                if (!projection)
                    projection = std::make_unique<PlaneToGeographic>(unitZone);
                writer.addFile(*kept.report.findings, *projection);
            }
            writer.finish();
        } else {
            for (const KeptUnit& kept : e.units) {
                if (kept.report.findings)
                    writeJsonLine(out, *kept.report.findings);
                else if (kept.unit.error)
                    writeJsonErrorLine(out, kept.unit.name, *kept.unit.error);
            }
        }
    } catch (const std::exception& error) {
        return handOut(std::string("error:") + error.what());
    }
    return handOut(out.str());
}

// The findings of the last check as the page's table shows them, the first
// maxRows of them: numbers as the report prints them. A JSON object: "count"
// of all findings, and "rows", each {"unit", "finding" (its index in the
// unit), "kind", "distance", "points": [{"number", "name", "x", "y",
// "line"}, ..]}.
EMSCRIPTEN_KEEPALIVE const char* morvane_table(int maxRows) {
    std::string rows;
    std::int64_t count = 0;
    const auto& units = engine().units;
    for (std::size_t u = 0; u < units.size(); ++u) {
        if (!units[u].report.findings)
            continue;
        const auto& findings = units[u].report.findings->findings;
        for (std::size_t f = 0; f < findings.size(); ++f, ++count) {
            if (count >= maxRows)
                continue;
            const FoundPair& pair = findings[f];
            rows += rows.empty() ? "{" : ",{";
            rows += "\"unit\":" + std::to_string(u) + ",\"finding\":" + std::to_string(f) +
                    ",\"kind\":" + jsonString(kindName(pair.kind)) +
                    ",\"distance\":" + jsonString(toUtf8(formatThreeDecimals(pair.distance))) +
                    ",\"points\":[";
            for (const FoundPoint* p : {&pair.first, &pair.second}) {
                rows += p == &pair.first ? "{" : ",{";
                rows += "\"number\":" + std::to_string(p->number) +
                        ",\"name\":" + jsonString(p->name) +
                        ",\"x\":" + jsonString(toUtf8(formatThreeDecimals(p->x))) +
                        ",\"y\":" + jsonString(toUtf8(formatThreeDecimals(p->y))) +
                        ",\"line\":" + std::to_string(p->line) +
                        ",\"file\":" + jsonString(pathText(p->file)) + "}";
            }
            rows += "]}";
        }
    }
    return handOut("{\"count\":" + std::to_string(count) + ",\"rows\":[" + rows + "]}");
}

// Puts the points of unit `index` of the last check into the table (checking
// it again alone when another is there) and returns how many there are;
// morvane_xs and morvane_ys then give the coordinates from slot 1 on.
EMSCRIPTEN_KEEPALIVE int morvane_plot(int index) {
    Engine& e = engine();
    if (index < 0 || index >= static_cast<int>(e.units.size()) || !e.units[index].report.summary)
        return 0;
    if (e.tableUnit != index) {
        // Quietly, with the band and answers the check had.
        WebSink quiet(e.lower, e.tolerance, e.checks, {});
        const bool job = e.files.size() > 1;
        std::optional<RunSummary> summary;
        if (job) {
            checkJob(*e.table, quiet, e.files, ResultTextLayout::Joined);
            summary = e.units.front().report.summary;
        } else {
            summary = recheckUnit(*e.table, quiet, e.files.front(), e.units[index].unit.name);
        }
        e.tableUnit = summary ? index : -1;
        if (!summary)
            return 0;
    }
    return e.table->pointCount;
}

EMSCRIPTEN_KEEPALIVE const double* morvane_xs() {
    return engine().table->xs.data();
}

EMSCRIPTEN_KEEPALIVE const double* morvane_ys() {
    return engine().table->ys.data();
}

// The printed report of every unit of the last check, laid out on pages
// (see WebPrinter).
EMSCRIPTEN_KEEPALIVE const char* morvane_print_layout() {
    Engine& e = engine();
    std::vector<ReportToPrint> reports;
    for (const KeptUnit& kept : e.units)
        reports.push_back({ReportLines(kept.report.lines), kept.report.summary});
    WebPrinter printer;
    WebSink quiet(e.lower, e.tolerance, e.checks, {});
    printReports(reports, quiet, printer);
    return handOut(printer.layout());
}

} // extern "C"
