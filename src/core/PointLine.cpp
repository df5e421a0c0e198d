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

void appendPointLine(std::u16string& out, const PointTable& table, double position) {
    const std::int32_t k = roundHalfEven(position);
    // Right-aligned in its column; a longer number is shown whole and pushes
    // the rest of the line right, as two numbers cut to six characters could
    // no longer be told apart.
    const std::size_t numberStart = out.size();
    appendInteger(out, table.numbers[k]);
    const std::size_t numberLength = out.size() - numberStart;
    if (numberLength < NumberWidth)
        out.insert(numberStart, NumberWidth - numberLength, u' ');
    out += u"  ";
    // Padded to its column; a name that fills it or runs past is shown whole
    // with one space before X, as cut names could no longer be told apart.
    const std::u16string_view name = table.names[k];
    out += name;
    out.append(name.size() < NameWidth ? NameWidth - name.size() : 1, u' ');
    appendThreeDecimals(out, table.xs[k]);
    out += u"   ";
    appendThreeDecimals(out, table.ys[k]);
}

std::u16string pointLine(const PointTable& table, double position) {
    std::u16string line;
    appendPointLine(line, table, position);
    return line;
}

void appendFindingPointLine(std::u16string& out, const PointTable& table, double position,
                            double other) {
    appendPointLine(out, table, position);
    const std::int32_t file = table.pointFiles[roundHalfEven(position)];
    if (file != table.pointFiles[roundHalfEven(other)]) {
        out += u"  ";
        out += table.jobFiles[static_cast<std::size_t>(file)].label;
    }
}

} // namespace morvane
