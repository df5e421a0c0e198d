#pragma once

#include "core/FileFindings.h"
#include "core/RunError.h"
#include "core/RunSummary.h"

#include <cstdint>
#include <exception>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {

struct PointTable;
class UiSink;
enum class BandField;

// A band field whose text is not a number read whole: which field, and the
// message that says so.
struct BandRefusal {
    BandField field;
    std::u16string message;
};

// The band as a run reads it: each text must be one number by the
// leading-number rule from its first character to its last (spaces, tabs and
// line breaks aside, full-width digits and signs as ASCII), or the run does
// not start: "0,05", "5cm" or an empty field would be read as some other
// band and hide what the check should find. The lower bound is asked first.
std::optional<BandRefusal> refusedBand(std::u16string_view lower, std::u16string_view tolerance);

// The same over the fields of ui: false after telling ui (refuseBand).
bool bandAccepted(UiSink& ui);

// Empties the point table, the report buffer, the result list and the
// result text.
void resetRun(PointTable& table, UiSink& ui);

// One unit of a checked path, checked as a file of its own: a coordinate
// file, a map sheet, or a sheet of a ZIP (or of a ZIP inside one). When the
// path itself cannot be opened or listed, it is the path's one unit, with
// that error.
struct CheckedUnit {
    // As summaries, headings and errors name it: the path as given, then
    // ":member" for each archive ("city.zip:maps/a.xml").
    std::filesystem::path name;
    // Its heading in a result text of several units ("■ city.zip:maps/a.xml":
    // the name without the path's folder, the member's folders kept); empty
    // when it is the path's only unit.
    std::u16string heading;
    // Empty when an error stopped it.
    std::optional<RunSummary> summary;
    // What stopped it; an error no check expected is kept as one without a
    // number, with what it said.
    std::optional<RunError> error;
    // When it failed: what the result text shows under its heading, the error
    // box's text, then where it arose, then a blank line.
    std::vector<std::u16string> errorLines;
    // The 0-based line of the result text where its report (or its error)
    // starts, below its heading.
    std::int32_t firstResultLine = 0;

    bool ofSeveral() const { return !heading.empty(); }
};

// What a front end hears of each unit while the path is checked. Each is
// optional.
struct UnitHooks {
    // Once the path is opened: whether it holds several units. It may refuse
    // the path by throwing a RunError, which then stands as the path's error.
    std::function<void(bool several)> listed;
    // Before the unit's check says or asks anything.
    std::function<void(const CheckedUnit& unit)> starting;
    // After the unit, while the table still holds what it left: its points,
    // its report lines (writtenReportLines) and its findings; nothing after
    // an error. The next unit resets the table.
    std::function<void(const PointTable& table, const CheckedUnit& unit)> done;
};

// How the units of a path share the result text.
enum class ResultTextLayout {
    // As the window shows a file: one text, each unit's report under its
    // heading when there are several. The band is read once, for all units.
    Joined,
    // As the command line prints a file: each unit starts its own text (and
    // its own reading of the band), as if it had been chosen alone.
    PerUnit,
};

// What checking one path gave. Each unit is given to UnitHooks::done as it
// ends; only the last is kept here, as a path may hold 100,000 sheets.
struct PathRun {
    std::filesystem::path file;
    std::size_t unitCount = 0;
    // The points of every unit that completed.
    std::int64_t points = 0;
    // The last unit: the one whose run the table still holds.
    CheckedUnit last;
    // The band the units were checked with (the last unit's, when each unit
    // reads the fields anew), once the tolerance's range rule had its say.
    double lower = 0;
    double tolerance = 0;
};

// The one check of a path: lists its units (see PointSourceList), reads and
// checks each in turn with the band from the fields, puts each unit's report
// into the result text as layout says and asks its questions through ui. A
// unit that fails shows its error (box and, when joined, its lines under its
// heading) and the next goes on; a path that cannot be listed is one failed
// unit. Every completed unit leaves the status empty on white and the
// pointer free. A band that bandAccepted refuses checks nothing: no unit.
PathRun checkPath(PointTable& table, UiSink& ui, const std::filesystem::path& path,
                  ResultTextLayout layout, const UnitHooks& hooks = {});

// The name of a job in headings, summaries, footers and the window's title:
// the first path as given, then " ほか N ファイル" for the others
// ("data/site1.sim ほか 1 ファイル"); the path alone for a job of one path. A
// path, so that a name shown without its folder reads "site1.sim ほか 1
// ファイル".
std::filesystem::path jobName(const std::vector<std::filesystem::path>& files);

// The paths of a job checked together as one unit (see input/JobSource.h): one
// report, its point lines naming their files where a finding's two points
// come from two, and one summary named by jobName. Otherwise as checkPath.
PathRun checkJob(PointTable& table, UiSink& ui, const std::vector<std::filesystem::path>& files,
                 ResultTextLayout layout, const UnitHooks& hooks = {});

// The Start command: validates the band fields, resets the data, asks for
// coordinate files and checks them (checkPath, joined; several chosen at
// once, checkJob). Nothing when the band was refused or the user cancelled
// the file dialog.
std::optional<PathRun> runFileCheck(PointTable& table, UiSink& ui, const UnitHooks& hooks = {});

// Checks again, alone, the unit of path that checkPath named unitName, with
// the band and answers ui gives: the table then holds that unit as the first
// check left it, for a front end that shows one unit of several at a time.
// Nothing when the path no longer holds it or it fails; the table is then
// empty.
std::optional<RunSummary> recheckUnit(PointTable& table, UiSink& ui,
                                      const std::filesystem::path& path,
                                      const std::filesystem::path& unitName);

// runFileCheck for a caller that needs the summary only: that of the file's
// last unit, empty when it failed or the dialog was cancelled.
std::optional<RunSummary> runCheck(PointTable& table, UiSink& ui);

// What a front end keeps of a unit once the next one has reset the table: its
// report as printed (for a unit that failed, its heading and error lines,
// which print without a footer) and, when asked, its findings as data.
struct UnitReport {
    std::vector<std::u16string> lines;
    // Empty when it failed.
    std::optional<RunSummary> summary;
    std::optional<FileFindings> findings;
};

UnitReport keepUnitReport(const PointTable& table, const CheckedUnit& unit, bool withFindings);

// Whether this build can compare names as they read (Unicode NFKC needs ICU).
bool lookAlikeNamesBuiltIn();

// A map sheet (".xml") or a ZIP (".zip"), in any letter case: a path that
// may hold map sheets, which state their own plane zone. A ZIP may as well
// hold coordinate files only; each unit's summary says what it stated.
bool pathMayHoldMapSheets(const std::filesystem::path& path);

// After a run was broken off by an error outside any unit: drops the partial
// results, releases the busy pointer, sets the status empty on white, then
// shows the error, so the next Start works.
void abandonRun(PointTable& table, UiSink& ui, const std::exception& error);

} // namespace morvane
