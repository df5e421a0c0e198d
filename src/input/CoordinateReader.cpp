#include "input/CoordinateReader.h"

#include "core/LeadingNumber.h"
#include "core/PointTable.h"
#include "core/RunError.h"
#include "core/Text.h"
#include "input/CoordinateFile.h"
#include "input/Cp932.h"

#include <algorithm>

namespace morvane {

namespace {

// A point number, name or coordinate that the field reader had to cut is far
// longer than any number or any name whose key fits in a double: overflow,
// rather than a value read from its beginning alone.
std::string_view valueField(FieldReader& in) {
    const std::string_view field = in.readField();
    if (in.fieldCut())
        throw runError(ErrorNumber::Overflow);
    return field;
}

std::u16string decodeName(std::string_view field, FieldEncoding encoding) {
    return encoding == FieldEncoding::Cp932 ? decodeCp932(field) : toUtf16(field);
}

// The fields after the tag of one record, into point n.
void readRecord(PointTable& table, FieldReader& in, FieldEncoding encoding, std::int32_t n,
                bool isZ) {
    if (n > TableCapacity)
        throw RunError(0, u"座標数が上限（499999点）を超えています。");
    table.usedSlots = std::max(table.usedSlots, n);
    table.numbers[n] = leadingInt32(valueField(in));
    std::u16string name = decodeName(valueField(in), encoding);
    // "Z" names are kept exactly as read; "A01" names lose surrounding spaces.
    table.names[n] = isZ ? std::move(name) : trimSpaces(name);
    table.xs[n] = leadingNumber(valueField(in));
    table.ys[n] = leadingNumber(valueField(in));
    table.sortKeys[n] += NameKey(table.names[n]);
    table.sortOrder[n] = n;
}

} // namespace

void readCoordinates(PointTable& table, FieldReader& in, FieldEncoding encoding) {
    std::int32_t n = 1;
    while (!in.atEnd()) {
        const std::string_view tag = in.readField();
        if (in.fieldCut())
            continue;
        const bool isZ = tag == "Z";
        if (!isZ && tag != "A01")
            continue;
        const std::int32_t recordLine = in.fieldLine();
        try {
            readRecord(table, in, encoding, n, isZ);
            table.lines[n] = recordLine;
        } catch (RunError& e) {
            // The line the record starts on, where a user looks for the
            // fault; a failing disk is no fault of any line.
            if (e.number() != ErrorNumber::DeviceIo)
                e.setLine(recordLine);
            throw;
        }
        n = checkedAdd(n, 1);
    }
    table.pointCount = n - 1;
}

} // namespace morvane
