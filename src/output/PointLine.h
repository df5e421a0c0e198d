#pragma once

#include <string>

namespace morvane {

struct RunData;

// The fixed-layout line of one point: number right-aligned in 6 characters,
// two spaces, the name cut or padded to 15 characters, X, three spaces, Y.
// Widths count UTF-16 code units, so a Japanese character counts as one.
// position is a SortIndex value, rounded half to even.
std::u16string xydisp(const RunData& d, double position);

} // namespace morvane
