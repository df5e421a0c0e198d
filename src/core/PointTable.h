#pragma once

#include "core/Finding.h"
#include "core/NameColumn.h"
#include "core/ReportLines.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace morvane {

// Usable positions are 1..TableCapacity; slot 0 exists but is never a point.
inline constexpr std::int32_t TableCapacity = 499'999;

// A file of a job checked together, as its points refer to it.
struct JobFile {
    // As given, then ":member" for a sheet of a ZIP ("site/city.zip:a.xml").
    std::filesystem::path name;
    // As a point line names it: without the folder that every file of the
    // job shares ("city.zip:a.xml", "east/site.sim").
    std::u16string label;
};

// The point table and findings of a check run: 1-based, with room for
// TableCapacity points and report lines. The slots grow with the file, by
// doubling, so that a small file costs what it holds rather than the
// capacity; a writer makes room before it writes a slot. The report's lines
// are not kept: each is made from its finding when it is read.
struct PointTable {
    PointTable();

    // Slots 0..n for each point array; n at most TableCapacity.
    void makeRoomForPoint(std::int32_t n);
    // Report lines 1..nextReportLine-1: the report the run has written,
    // three lines for each finding.
    ReportLines writtenReportLines() const { return ReportLines(*this); }

    // Empties every slot and the counters, and gives back the room a large
    // file took. Only the slots a run may have written are touched: clearing
    // every slot of a large table would cost more than checking a small file.
    void clear();

    std::vector<std::int32_t> numbers;
    NameColumn names;
    std::vector<double> xs;
    std::vector<double> ys;
    // The 1-based line of the record each point was read from.
    std::vector<std::int32_t> lines;
    // The file each point was read from, an index into jobFiles; 0 for every
    // point of a run of one file.
    std::vector<std::int32_t> pointFiles;
    // Indexed by sort position: a key and the point position it belongs to,
    // always moved together. Positions are integral values held as doubles.
    std::vector<double> sortKeys;
    std::vector<double> sortOrder;
    // Every finding written to the report, in report order.
    std::vector<Finding> findings;
    // The files of a job checked together, in the order they were read;
    // empty for a run of one file.
    std::vector<JobFile> jobFiles;

    std::int32_t pointCount = 0;
    // The next report line to write; lines 1..nextReportLine-1 are those of
    // the findings.
    std::int32_t nextReportLine = 0;
    // Set once a finding no longer fits: no check adds more in this run.
    bool reportFull = false;
    // Slots above max(usedSlots, pointCount) are empty. A reader raises it
    // before it writes a slot, so a read that fails half-way is cleared too.
    std::int32_t usedSlots = 0;
};

// Converts a position held as a double back to an index: nearest, halves to even.
std::int32_t roundHalfEven(double value);

} // namespace morvane
