#pragma once

#include "core/Finding.h"
#include "core/RunSummary.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace morvane {

struct PointTable;

// A point of a finding, copied out of the point table.
struct FoundPoint {
    std::int32_t number = 0;
    // UTF-8, as read (surrounding spaces of an "A01" name already dropped).
    std::string name;
    double x = 0;
    double y = 0;
    // The 1-based line of the point's record in its file.
    std::int32_t line = 0;
    // Of a job: the point's file (see JobFile::name); empty for one file.
    std::filesystem::path file;
};

// One finding with both its points, in the order the report gives them.
struct FoundPair {
    FindingKind kind = FindingKind::DuplicateName;
    double distance = 0;
    FoundPoint first;
    FoundPoint second;
};

// What the data formats write for one checked file. A copy, not a view: the
// table is reset by the next run.
struct FileFindings {
    RunSummary summary;
    std::vector<FoundPair> findings;
    // Of a job: its files, in the order read; empty for one file. The data
    // formats then name each point's file.
    std::vector<std::filesystem::path> jobFiles;
};

// The findings of the run that just filled the table, in report order.
FileFindings fileFindings(const PointTable& table, const RunSummary& summary);

} // namespace morvane
