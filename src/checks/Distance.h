#pragma once

#include <cmath>

namespace morvane {

// The one distance every check and every test uses. Written out rather than
// std::hypot, and built without fused multiply-add, so that a pair exactly on
// a band boundary falls on the same side in every build.
inline double distance(double xa, double ya, double xb, double yb) {
    const double dx = xa - xb;
    const double dy = ya - yb;
    return std::sqrt(dx * dx + dy * dy);
}

} // namespace morvane
