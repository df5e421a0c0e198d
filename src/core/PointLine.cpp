#include "core/PointLine.h"

#include "core/NumberFormat.h"
#include "core/PointTable.h"
#include "core/Text.h"

#include <algorithm>

namespace morvane {

namespace {
constexpr std::size_t NumberWidth = 6;
constexpr std::size_t NameWidth = 15;
} // namespace

std::u16string pointLine(const PointTable& table, double position) {
    const std::int32_t k = roundHalfEven(position);
    // Right-aligned in its column; a longer number is shown whole and pushes
    // the rest of the line right, as two numbers cut to six characters could
    // no longer be told apart.
    const std::u16string number = formatInteger(table.numbers[k]);
    const std::u16string_view name = table.names[k];

    std::u16string line(NumberWidth - std::min(NumberWidth, number.size()), u' ');
    line += number;
    line += u"  ";
    // Padded to its column; a name that fills it or runs past is shown whole
    // with one space before X, as cut names could no longer be told apart.
    line += name;
    line.append(name.size() < NameWidth ? NameWidth - name.size() : 1, u' ');
    line += formatThreeDecimals(table.xs[k]);
    line += u"   ";
    line += formatThreeDecimals(table.ys[k]);
    return line;
}

std::u16string findingPointLine(const PointTable& table, double position, double other) {
    std::u16string line = pointLine(table, position);
    const std::int32_t file = table.pointFiles[roundHalfEven(position)];
    if (file != table.pointFiles[roundHalfEven(other)]) {
        line += u"  ";
        line += table.jobFiles[static_cast<std::size_t>(file)].label;
    }
    return line;
}

} // namespace morvane
