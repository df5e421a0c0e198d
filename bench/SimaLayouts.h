#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace morvane::bench {

// A generated coordinate file: SIMA "A01" records with CR LF, ASCII names
// (valid code page 932), millimetre coordinates, the same for the same
// layout and count on every machine.
//
// Layouts: uniform (1 km square around the origin), columns (100 distinct X
// values), line (all on one X line, 0.1 m apart), square (all in a 10 m
// square), origin (every tenth point at exactly 0,0), interleaved (small X
// and names on even records, large on odd), cluster (up to 50,000 points on
// one spot, the rest uniform), renumbered (uniform, its point numbers
// shuffled and every thousandth one repeated). Points are numbered 1, 2, ...
// in record order otherwise. Empty for an unknown layout.
std::optional<std::string> simaFile(std::string_view layout, int points);

} // namespace morvane::bench
