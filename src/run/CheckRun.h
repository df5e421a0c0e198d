#pragma once

#include "core/RunSummary.h"

#include <cstdint>
#include <exception>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace morvane {

struct PointTable;
class PointSource;
class UiSink;

// Empties the point table, the report buffer, the result list and the
// result text.
void resetRun(PointTable& table, UiSink& ui);

// How one source of a chosen file ended.
struct SourceRun {
    // Its display name ("city.zip:sheet.xml").
    std::filesystem::path source;
    // Empty when an error stopped it.
    std::optional<RunSummary> summary;
    // Its heading line in the result text of a file of several sources
    // ("■ city.zip:folder/sheet.xml"); empty for a file of one.
    std::u16string heading;
    // The 0-based line of the result text where its report (or its error)
    // starts, below its heading.
    std::int32_t firstResultLine = 0;
    // The result text's lines under its heading: the error's, when it failed.
    std::vector<std::u16string> errorLines;
};

// Called after each source of a file of several, while the table still holds
// what that source left (nothing, after an error): the next source resets it.
using SourceDone = std::function<void(const PointTable& table, const SourceRun& run)>;

// What the Start command checked: the chosen file and each of its sources.
struct FileRun {
    std::filesystem::path file;
    std::vector<SourceRun> sources;
};

// The Start command: validates the tolerance field, resets the data, asks for
// a coordinate file, reads it, runs the duplicate-name check and the
// coincident-point check, and puts the report into the result text. A
// run-time error (RunError) is thrown where it happens; the caller hands it
// to abandonRun. Returns what the run read and found; nothing when the user
// cancelled the file dialog.
// A file of several sources (a ZIP of map sheets) is checked source by
// source, each its own run with its own questions. The result text then holds
// each source's report under a heading line, "■ " and the source's display
// name without the file's folder; a source that fails shows its error box and its
// error under its heading, and the next source goes on. Only an error of the
// file itself (it cannot be opened, the archive is damaged) is thrown.
std::optional<FileRun> runFileCheck(PointTable& table, UiSink& ui,
                                    const SourceDone& sourceDone = {});

// runFileCheck for a caller that needs the summary only: that of the file's
// last source, empty when it failed or the dialog was cancelled.
std::optional<RunSummary> runCheck(PointTable& table, UiSink& ui);

// The same run without the file dialog, on one source of a path (see
// pointSourcesOf): a coordinate file or one map sheet. The command line runs
// each source of each path it is given this way.
RunSummary runSourceCheck(PointTable& table, UiSink& ui, const PointSource& source);

// "■ city.zip:folder/sheet.xml": the heading of a source of a file of
// several, its display name without the folder of the file, which a member's
// own folders must not lose.
std::u16string sourceHeading(const std::filesystem::path& file, const PointSource& source);

// An error as the result text shows it under the failed source's heading:
// the message box's text, then where it arose, then a blank line.
std::vector<std::u16string> errorLines(const std::exception& error);

// After runCheck threw: drops the partial results, releases the busy
// pointer, sets the status empty on white, then shows the error, so the next
// Start works.
void abandonRun(PointTable& table, UiSink& ui, const std::exception& error);

} // namespace morvane
