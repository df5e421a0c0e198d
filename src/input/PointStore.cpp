#include "input/PointStore.h"

#include "core/PointTable.h"
#include "core/RunError.h"
#include "input/Cp932.h"

#include <algorithm>

namespace morvane {

void ensureRoomFor(std::int32_t n) {
    if (n > TableCapacity)
        throw RunError::withoutNumber(u"座標数が上限（499999点）を超えています。");
}

void storePoint(PointTable& table, std::int32_t n, std::int32_t number, double x, double y,
                std::int32_t line) {
    table.usedSlots = std::max(table.usedSlots, n);
    table.numbers[n] = number;
    table.xs[n] = x;
    table.ys[n] = y;
    table.lines[n] = line;
}

void storeName(PointTable& table, std::int32_t n, std::u16string name) {
    table.sortKeys[n] += NameKey(name);
    table.names[n] = std::move(name);
    table.sortOrder[n] = n;
}

} // namespace morvane
