#pragma once

#include "input/CoordinateFile.h"

#include <string>
#include <string_view>

namespace morvane {

struct PointTable;

// Reads every "A01" and "Z" record into the points after those the table
// holds (1..pointCount of a table that was reset), with each
// point's name key in sortKeys and its position in sortOrder; every other
// field is skipped on its own. A record ends on its line: one whose line ends
// before its Y is an error naming what is missing. Throws error 62 when the
// input ends inside a record, error 6 for a point number, name or coordinate
// longer than the field reader keeps, and stops with a message before a point
// beyond TableCapacity. Names are decoded from the fields' encoding.
void readCoordinates(PointTable& table, FieldReader& in,
                     FieldEncoding encoding = FieldEncoding::Cp932);

} // namespace morvane
