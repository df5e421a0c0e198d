#include "input/CoordinateReader.h"

#include "input/CoordinateFile.h"
#include "input/Cp932.h"
#include "run/LeadingNumber.h"
#include "run/RunData.h"
#include "run/RunError.h"

namespace morvane {

namespace {

bool isSpace(char16_t c) {
    return c == u' ' || c == u'\u3000';
}

// A point number, name or coordinate that the field reader had to cut is far
// longer than any number or any name whose key fits in a double: overflow,
// rather than a value read from its beginning alone.
std::string_view valueField(FieldReader& in) {
    const std::string_view field = in.readField();
    if (in.fieldCut())
        throw runError(ErrorNumber::Overflow);
    return field;
}

} // namespace

std::u16string trimSpaces(std::u16string_view text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && isSpace(text[begin]))
        ++begin;
    while (end > begin && isSpace(text[end - 1]))
        --end;
    return std::u16string(text.substr(begin, end - begin));
}

void readCoordinates(RunData& d, FieldReader& in) {
    std::int32_t n = 1;
    while (!in.atEnd()) {
        const std::string_view tag = in.readField();
        if (in.fieldCut())
            continue;
        const bool isZ = tag == "Z";
        if (!isZ && tag != "A01")
            continue;
        if (n > TableCapacity)
            throw RunError(0, u"座標数が上限（499999点）を超えています。");
        d.PointNo[n] = leadingInt32(valueField(in));
        std::u16string name = decodeCp932(valueField(in));
        // "Z" names are kept exactly as read; "A01" names lose surrounding spaces.
        d.PointName[n] = isZ ? std::move(name) : trimSpaces(name);
        d.PointX[n] = leadingNumber(valueField(in));
        d.PointY[n] = leadingNumber(valueField(in));
        d.SortKey[n] += NameKey(d.PointName[n]);
        d.SortIndex[n] = n;
        n = checkedAdd(n, 1);
    }
    d.PointCount = n - 1;
}

} // namespace morvane
