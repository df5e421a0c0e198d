#include "input/CoordinateReader.h"

#include "core/LeadingNumber.h"
#include "core/PointTable.h"
#include "core/RunError.h"
#include "core/Text.h"
#include "input/CoordinateFile.h"
#include "input/Cp932.h"
#include "input/PointStore.h"

namespace morvane {

namespace {

// The parts of a record after its tag, in order, as an error names them.
enum class RecordPart { Number, Name, X, Y };
constexpr std::u16string_view PartNames[] = {u"点番号", u"点名", u" X 座標", u" Y 座標"};

std::u16string tagText(bool isZ) {
    return isZ ? u"Z" : u"A01";
}

// The next field of a record. A record ends on its line: taking the next
// line's fields would swallow the next record and check points that are not
// in the file. A point number, name or coordinate that the field reader had
// to cut is far longer than any number or any name whose key fits in a
// double: overflow, rather than a value read from its beginning alone.
std::string_view recordField(FieldReader& in, bool isZ, RecordPart part) {
    if (in.fieldEndedLine())
        throw RunError::withoutNumber(tagText(isZ) + u" レコードに" +
                                      std::u16string(PartNames[static_cast<int>(part)]) +
                                      u"がありません。");
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
                bool isZ, std::int32_t recordLine) {
    ensureRoomFor(n);
    const std::int32_t number = leadingInt32(recordField(in, isZ, RecordPart::Number));
    std::u16string name = decodeName(recordField(in, isZ, RecordPart::Name), encoding);
    const double x = leadingNumber(recordField(in, isZ, RecordPart::X));
    const double y = leadingNumber(recordField(in, isZ, RecordPart::Y));
    storePoint(table, n, number, x, y, recordLine);
    // "Z" names are kept exactly as read; "A01" names lose surrounding spaces.
    storeName(table, n, isZ ? std::move(name) : trimSpaces(name));
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
            readRecord(table, in, encoding, n, isZ, recordLine);
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
