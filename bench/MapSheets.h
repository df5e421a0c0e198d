#pragma once

#include <string>

namespace morvane::bench {

// A generated cadastral map sheet (UTF-8 XML, laid out as published): the
// points uniform over a 1 km square, ids "P" and nine digits, then one
// boundary point naming each point, names unique but for every thousandth;
// the same for the same count on every machine.
std::string mapSheet(int points);

} // namespace morvane::bench
