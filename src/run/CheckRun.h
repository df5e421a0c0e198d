#pragma once

#include "core/RunSummary.h"

#include <exception>
#include <optional>

namespace morvane {

struct PointTable;
class PointSource;
class UiSink;

// Empties the point table, the report buffer, the result list and the
// result text.
void resetRun(PointTable& table, UiSink& ui);

// The Start command: validates the tolerance field, resets the data, asks for
// a coordinate file, reads it, runs the duplicate-name check and the
// coincident-point check, and puts the report into the result text. A
// run-time error (RunError) is thrown where it happens; the caller hands it
// to abandonRun. Returns what the run read and found; nothing when the user
// cancelled the file dialog.
// A path that holds several map sheets (a ZIP) is refused with a message:
// the window checks one source a run.
std::optional<RunSummary> runCheck(PointTable& table, UiSink& ui);

// The same run without the file dialog, on one source of a path (see
// pointSourcesOf): a coordinate file or one map sheet. The command line runs
// each source of each path it is given this way.
RunSummary runSourceCheck(PointTable& table, UiSink& ui, const PointSource& source);

// After runCheck threw: drops the partial results, releases the busy
// pointer, sets the status empty on white, then shows the error, so the next
// Start works.
void abandonRun(PointTable& table, UiSink& ui, const std::exception& error);

} // namespace morvane
