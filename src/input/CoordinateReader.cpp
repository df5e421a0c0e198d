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
        const bool isZ = tag == "Z";
        if (!isZ && tag != "A01")
            continue;
        if (n > TableCapacity)
            throw RunError(0, u"座標数が上限（499999点）を超えています。");
        d.PointNo[n] = leadingInt32(in.readField());
        std::u16string name = decodeCp932(in.readField());
        // "Z" names are kept exactly as read; "A01" names lose surrounding spaces.
        d.PointName[n] = isZ ? std::move(name) : trimSpaces(name);
        d.PointX[n] = leadingNumber(in.readField());
        d.PointY[n] = leadingNumber(in.readField());
        d.SortKey[n] += NameKey(d.PointName[n]);
        d.SortIndex[n] = n;
        n = checkedAdd(n, 1);
    }
    d.PointCount = n - 1;
}

} // namespace morvane
