#pragma once

#include <cmath>
#include <cstdint>

namespace morvane {

// The one distance every check and every test uses. Written out rather than
// std::hypot, and built without fused multiply-add, so that a pair exactly on
// a band boundary falls on the same side in every build.
inline double distance(double xa, double ya, double xb, double yb) {
    const double dx = xa - xb;
    const double dy = ya - yb;
    return std::sqrt(dx * dx + dy * dy);
}

// The band lower <= d < tolerance, d being the distance as the report shows
// it: rounded to the millimetre by formatThreeDecimals. Millimetre
// coordinates give distances a hair either side of a whole millimetre, so
// judging the unrounded distance would show "較差 0.050" for some pairs at
// 0.05 and leave out others.
//
// A bound is read as the decimal it shows (the shortest text that reads back
// as it, as the band is shown to the user), and compared exactly: 0.05 leaves
// out 0.050; 0.0505 takes 0.050 and leaves out 0.051, just as 0.051 would. So
// a reported distance always lies in the band as shown, whatever the bound's
// digits below the millimetre.
class DistanceBand {
public:
    DistanceBand(double lower, double tolerance);

    bool empty() const { return m_lowest >= m_beyond; }
    // Every distance in the band is below this, and so is each of its |ΔX|
    // and |ΔY| (up to the last bit of the square root).
    double reach() const { return m_reach; }

    bool contains(double dist) const {
        if (!(dist < m_reach))
            return false;
        const std::int64_t shown = shownMillimetres(dist);
        return shown >= m_lowest && shown < m_beyond;
    }

    // The millimetres formatThreeDecimals shows for a distance. Away from a
    // half millimetre the rounding of the 15-digit form and of the product
    // agree (below 10 km both are off by far less than a nanometre), so only
    // distances near a half take the exact way.
    static std::int64_t shownMillimetres(double dist) {
        const double scaled = dist * 1000;
        const double whole = std::floor(scaled);
        const double aboveHalf = scaled - whole - 0.5;
        if (scaled >= 0 && scaled < 1e7 && std::fabs(aboveHalf) > 1e-6)
            return static_cast<std::int64_t>(whole) + (aboveHalf > 0);
        return exactMillimetres(dist);
    }

private:
    static std::int64_t exactMillimetres(double dist);

    std::int64_t m_lowest; // the smallest shown millimetres in the band
    std::int64_t m_beyond; // the smallest above it
    double m_reach;
};

} // namespace morvane
