#include "input/PointStore.h"

#include "core/NumberFormat.h"
#include "core/PointTable.h"
#include "core/RunError.h"
#include "core/Text.h"
#include "input/Cp932.h"

#include <algorithm>

namespace morvane {

TableFullError::TableFullError() : RunError(0, u"座標数が上限（499999点）を超えています。") {}

void ensureRoomFor(std::int32_t n) {
    if (n > TableCapacity)
        throw TableFullError();
}

void storePoint(PointTable& table, std::int32_t n, std::int32_t number, double x, double y,
                std::int32_t line) {
    table.makeRoomForPoint(n);
    table.usedSlots = std::max(table.usedSlots, n);
    table.numbers[n] = number;
    table.xs[n] = x;
    table.ys[n] = y;
    table.lines[n] = line;
}

double checkedNameKey(std::u16string_view name) {
    try {
        return NameKey(name);
    } catch (const RunError& e) {
        if (e.number() != ErrorNumber::Overflow)
            throw;
        // Characters as the user counts them: a surrogate pair is one.
        std::int32_t characters = 0;
        for (std::size_t i = 0; i < name.size(); ++i)
            if (!(isLowSurrogate(name[i]) && i > 0 && isHighSurrogate(name[i - 1])))
                ++characters;
        throw RunError(ErrorNumber::Overflow,
                       u"名称が長すぎます（" + formatInteger(characters) + u" 文字）。");
    }
}

void storeName(PointTable& table, std::int32_t n, std::u16string name) {
    table.makeRoomForPoint(n);
    table.sortKeys[n] += checkedNameKey(name);
    table.names.assign(n, name);
    table.sortOrder[n] = n;
}

} // namespace morvane
