#pragma once

#include <string>
#include <string_view>

namespace morvane {

struct RunData;
class FieldReader;

// Reads every "A01" and "Z" record into points 1..PointCount, with each
// point's name key in SortKey and its position in SortIndex; every other
// field is skipped on its own. Throws error 62 when the input ends inside a
// record, error 6 for a point number, name or coordinate longer than the
// field reader keeps, and stops with a message before a point beyond
// TableCapacity.
void readCoordinates(RunData& d, FieldReader& in);

// Trims ASCII spaces and ideographic spaces (U+3000) at both ends.
std::u16string trimSpaces(std::u16string_view text);

} // namespace morvane
