#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string_view>

namespace morvane {

struct FileFindings;
class RunError;

// Findings as JSON Lines: one object a file, on one line ending in LF.
//
// {"file": path as given, "encoding": "CP932" | "UTF-8" | ..., "points": points read,
//  "lower": .., "tolerance": .., "stopped": null or {"duplicate_name": "answer",
//  "coincident_point": "report_full"} (only the checks cut short, and why),
//  "findings": [{"kind": "duplicate_name" | "coincident_point", "distance": ..,
//                "points": [{"number", "name", "x", "y", "line"}, {...}]}, ...]}
void writeJsonLine(std::ostream& out, const FileFindings& file);

// {"file": .., "error": {"number": N or null, "message": .., "line": N or null}}:
// a file the run could not check. The number is null for an error of this
// program's own (no records, too many points), the line null when no record
// caused it.
void writeJsonErrorLine(std::ostream& out, const std::filesystem::path& file,
                        const RunError& error);

} // namespace morvane
