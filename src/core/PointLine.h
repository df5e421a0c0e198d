#pragma once

#include <string>

namespace morvane {

struct PointTable;

// The fixed-layout line of one point: number right-aligned in 6 characters (a longer one whole),
// two spaces, the name padded to 15 characters (a name of 15 or more whole, then one space), X,
// three spaces, Y.
// Widths count UTF-16 code units, so a Japanese character counts as one.
// position is a sortOrder value, rounded half to even.
std::u16string pointLine(const PointTable& table, double position);
// The same, added to the end of out (in UTF-16 or in UTF-8).
void appendPointLine(std::u16string& out, const PointTable& table, double position);
void appendPointLine(std::string& out, const PointTable& table, double position);

// Adds the line of a finding's point at position whose other point is at
// other to out: the point line, then, when the two points come from different
// files of a job, two spaces and the label of the point's file. Within one
// file the lines stay as a run of that file alone prints them.
void appendFindingPointLine(std::u16string& out, const PointTable& table, double position,
                            double other);
void appendFindingPointLine(std::string& out, const PointTable& table, double position,
                            double other);

} // namespace morvane
