#pragma once

#include "core/CoordinateSystem.h"
#include "input/ByteSource.h"

#include <string>
#include <string_view>

namespace morvane {

struct PointTable;

// What a sheet states besides its points.
struct MapSheetReading {
    // As the user would name it, as for a coordinate file: "UTF-8",
    // "UTF-8 with BOM", "UTF-16LE", "UTF-16BE", or a declared "ISO-8859-1"
    // or "US-ASCII".
    std::string encoding;
    CoordinateSystem coordinateSystem;
};

// Reads one sheet of the cadastral map XML (UTF-8 or UTF-16, streamed, never
// held whole) into the points after those the table holds (1..pointCount of
// a table that was reset): every GM_Point of the geometry
// namespace in document order, with X and Y from its DirectPosition, the line
// of its element, the number of its id ("P" and digits that fit in 32 bits,
// else its 1-based position in the sheet) and the name that the first boundary point
// (点番名) or control point (名称) whose 形状 refers to it gives, else an empty
// name. Elements are told apart by namespace and local name, never by prefix.
//
// Memory grows with the points and the ids referred to, not with the file:
// references are resolved as they meet their point, and only those to points
// not yet seen wait for the end. Throws a RunError with the line for XML that
// is not well-formed, one tag, comment or other piece of markup longer than
// 16 MiB, a point without a numeric X or Y, an id defined twice, a reference
// to an id that no point has, text or an id longer than 64 KiB, a name too
// long for its sort key, and a point beyond TableCapacity. Every limit is
// checked as the value is kept, not at the end of the sheet, and an error
// quotes at most 40 characters of a value.
MapSheetReading readMapSheet(PointTable& table, const ByteSource& bytes);

// The coordinate system a 座標系 text names: "公共座標N系" (N = 1..19, ASCII or
// full-width digits) a plane rectangular zone, "任意座標系" a local system,
// anything else none.
CoordinateSystem statedCoordinateSystem(std::u16string_view text);

} // namespace morvane
