#include "core/PointLine.h"

#include "core/NumberFormat.h"
#include "core/PointTable.h"

namespace morvane {

namespace {
constexpr std::size_t NumberWidth = 6;
constexpr std::size_t NameWidth = 15;
} // namespace

std::u16string pointLine(const PointTable& table, double position) {
    const std::int32_t k = roundHalfEven(position);
    // Padding first and cutting after: a 7-digit number loses its first digit.
    const std::u16string number = u"     " + formatInteger(table.numbers[k]);
    const std::u16string name = table.names[k] + std::u16string(17, u' ');

    std::u16string line = number.substr(number.size() - NumberWidth);
    line += u"  ";
    line += name.substr(0, NameWidth);
    line += formatThreeDecimals(table.xs[k]);
    line += u"   ";
    line += formatThreeDecimals(table.ys[k]);
    return line;
}

} // namespace morvane
