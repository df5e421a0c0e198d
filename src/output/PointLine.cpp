#include "output/PointLine.h"

#include "output/NumberFormat.h"
#include "run/RunData.h"

namespace morvane {

namespace {
constexpr std::size_t NumberWidth = 6;
constexpr std::size_t NameWidth = 15;
} // namespace

std::u16string xydisp(const RunData& d, double position) {
    const std::int32_t k = roundHalfEven(position);
    // Padding first and cutting after: a 7-digit number loses its first digit.
    const std::u16string number = u"     " + formatInteger(d.PointNo[k]);
    const std::u16string name = d.PointName[k] + std::u16string(17, u' ');

    std::u16string line = number.substr(number.size() - NumberWidth);
    line += u"  ";
    line += name.substr(0, NameWidth);
    line += formatThreeDecimals(d.PointX[k]);
    line += u"   ";
    line += formatThreeDecimals(d.PointY[k]);
    return line;
}

} // namespace morvane
