#pragma once

#include "core/RunError.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace morvane {

struct PointTable;

// How every reader puts points into the table, so that a point read from a
// coordinate file and one read from a map sheet are alike to the checks.

// The error of a point beyond TableCapacity, a type of its own so that a job
// of several files can tell it from the others and say how many points the
// job would need.
class TableFullError : public RunError {
public:
    TableFullError();
};

// Stops the reading with a TableFullError ("座標数が上限（499999点）を超えて
// います。") when position n is beyond TableCapacity; called before anything of
// that point is read.
void ensureRoomFor(std::int32_t n);

// The number, coordinates and line (1-based) of the point at position n; the
// first of a point's slots to be written, so it marks the slot as used.
void storePoint(PointTable& table, std::int32_t n, std::int32_t number, double x, double y,
                std::int32_t line);

// The key a name sorts by (see NameKey); error 6 that says how long the name
// is ("名称が長すぎます（400 文字）。") when it is too long for its key.
double checkedNameKey(std::u16string_view name);

// The name of the point at position n, with its name key (added to the key
// slot, which the reset leaves at 0) and its place in the sort order. Throws
// as checkedNameKey does.
void storeName(PointTable& table, std::int32_t n, std::u16string name);

} // namespace morvane
