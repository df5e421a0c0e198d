#include "core/PointLine.h"

#include "core/NumberFormat.h"
#include "core/PointTable.h"
#include "core/Text.h"

#include <algorithm>
#include <charconv>

namespace morvane {

namespace {
constexpr std::size_t NumberWidth = 6;
constexpr std::size_t NameWidth = 15;

template <class Text> void appendPointLineTo(Text& out, const PointTable& table, double position) {
    using Char = typename Text::value_type;
    const std::int32_t k = roundHalfEven(position);
    // Right-aligned in its column; a longer number is shown whole and pushes
    // the rest of the line right, as two numbers cut to six characters could
    // no longer be told apart. Written after room for its padding, then added
    // at once, as X and Y are.
    char number[NumberWidth + 16];
    char* numberEnd =
        std::to_chars(number + NumberWidth, number + sizeof number - 2, table.numbers[k]).ptr;
    const auto numberLength = static_cast<std::size_t>(numberEnd - number) - NumberWidth;
    char* const numberStart = number + std::min(numberLength, NumberWidth);
    std::fill(numberStart, number + NumberWidth, ' ');
    *numberEnd++ = ' ';
    *numberEnd++ = ' ';
    out.append(static_cast<const char*>(numberStart), static_cast<const char*>(numberEnd));
    // Padded to its column; a name that fills it or runs past is shown whole
    // with one space before X, as cut names could no longer be told apart.
    const std::u16string_view name = table.names[k];
    appendText(out, name);
    out.append(name.size() < NameWidth ? NameWidth - name.size() : 1, Char(' '));
    char coordinates[2 * ThreeDecimalsRoom + 3];
    char* end = writeThreeDecimals(coordinates, table.xs[k]);
    end = std::fill_n(end, 3, ' ');
    end = writeThreeDecimals(end, table.ys[k]);
    out.append(static_cast<const char*>(coordinates), static_cast<const char*>(end));
}

template <class Text>
void appendFindingPointLineTo(Text& out, const PointTable& table, double position, double other) {
    appendPointLineTo(out, table, position);
    const std::int32_t file = table.pointFiles[roundHalfEven(position)];
    if (file != table.pointFiles[roundHalfEven(other)]) {
        out.append(2, typename Text::value_type(' '));
        appendText(out, table.jobFiles[static_cast<std::size_t>(file)].label);
    }
}

} // namespace

void appendPointLine(std::u16string& out, const PointTable& table, double position) {
    appendPointLineTo(out, table, position);
}

void appendPointLine(std::string& out, const PointTable& table, double position) {
    appendPointLineTo(out, table, position);
}

void appendFindingPointLine(std::u16string& out, const PointTable& table, double position,
                            double other) {
    appendFindingPointLineTo(out, table, position, other);
}

void appendFindingPointLine(std::string& out, const PointTable& table, double position,
                            double other) {
    appendFindingPointLineTo(out, table, position, other);
}

std::u16string pointLine(const PointTable& table, double position) {
    std::u16string line;
    appendPointLine(line, table, position);
    return line;
}

} // namespace morvane
