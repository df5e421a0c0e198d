#include "input/CoordinateReader.h"

#include "core/LeadingNumber.h"
#include "core/NumberFormat.h"
#include "core/PointTable.h"
#include "core/RunError.h"
#include "core/Text.h"
#include "input/CoordinateFile.h"
#include "input/Cp932.h"
#include "input/PointStore.h"

#include <algorithm>

namespace morvane {

namespace {

// The parts of a record after its tag, in order, as an error names them.
enum class RecordPart { Number, Name, X, Y };
constexpr std::u16string_view PartNames[] = {u"点番号", u"名称", u" X 座標", u" Y 座標"};

std::u16string partName(RecordPart part) {
    return std::u16string(PartNames[static_cast<int>(part)]);
}

std::u16string tagText(bool isZ) {
    return isZ ? u"Z" : u"A01";
}

[[gnu::noinline]] RunError missingPart(bool isZ, RecordPart part) {
    return RunError::withoutNumber(tagText(isZ) + u" レコードに" + partName(part) +
                                   u"がありません。");
}

// A field beyond what the field reader holds: far longer than any number,
// coordinate or name whose key fits in a double.
[[gnu::noinline]] RunError partTooLong(bool isZ, RecordPart part) {
    return RunError(ErrorNumber::Overflow,
                    tagText(isZ) + u" レコードの" + partName(part) + u"が長すぎます（" +
                        formatInteger(static_cast<std::int32_t>(FieldReader::MaxFieldBytes)) +
                        u" バイトを超えています）。");
}

// The next field of a record. A record ends on its line: taking the next
// line's fields would swallow the next record and check points that are not
// in the file. A field that the field reader had to cut is an error, rather
// than a value read from its beginning alone.
std::string_view recordField(FieldReader& in, bool isZ, RecordPart part) {
    if (in.fieldEndedLine())
        throw missingPart(isZ, part);
    const std::string_view field = in.readField();
    if (in.fieldCut())
        throw partTooLong(isZ, part);
    return field;
}

std::u16string decodeName(std::string_view field, FieldEncoding encoding) {
    return encoding == FieldEncoding::Cp932 ? decodeCp932(field) : toUtf16(field);
}

std::u16string quotedValue(std::u16string_view text) {
    return u"「" + shownValue(text) + u"」";
}

// "A01 レコードの点番号 9999999999 が大きすぎます（2147483647 まで）。": the
// field and its value, where error 6 alone would leave the user to guess.
[[gnu::noinline]] RunError numberOutOfRange(std::string_view field, FieldEncoding encoding,
                                            bool isZ) {
    std::u16string text = decodeName(field, encoding);
    text.erase(std::remove_if(text.begin(), text.end(),
                              [](char16_t c) { return c == u' ' || c == u'\t'; }),
               text.end());
    const std::u16string range = !text.empty() && text.front() == u'-'
                                     ? u" が小さすぎます（-2147483648 まで）。"
                                     : u" が大きすぎます（2147483647 まで）。";
    return RunError(ErrorNumber::Overflow,
                    tagText(isZ) + u" レコードの点番号 " + shownValue(text) + range);
}

[[gnu::always_inline]] inline std::int32_t pointNumber(std::string_view field,
                                                       FieldEncoding encoding, bool isZ) {
    try {
        return leadingInt32(field);
    } catch (const RunError& e) {
        if (e.number() != ErrorNumber::Overflow)
            throw;
        throw numberOutOfRange(field, encoding, isZ);
    }
}

// A coordinate that is not a plain ASCII number: full-width digits and signs
// (as an input method types them) count as ASCII; an empty field is 0, a
// point without coordinates. Anything else would be read as some other
// number, so it is an error rather than a point in a wrong place.
[[gnu::noinline]] double otherCoordinate(std::string_view field, FieldEncoding encoding, bool isZ,
                                         RecordPart axis) {
    const std::u16string text = trimSpaces(decodeName(field, encoding));
    if (text.find_first_not_of(u" \t") == std::u16string::npos)
        return 0;
    if (const auto value = wholeFieldNumber(text))
        return *value;
    throw RunError::withoutNumber(tagText(isZ) + u" レコードの" + partName(axis) +
                                  quotedValue(text) + u"を数値として読めません。");
}

[[gnu::noinline]] RunError coordinateOutOfRange(std::string_view field, FieldEncoding encoding,
                                                bool isZ, RecordPart axis) {
    return RunError(ErrorNumber::Overflow, tagText(isZ) + u" レコードの" + partName(axis) + u" " +
                                               shownValue(trimSpaces(decodeName(field, encoding))) +
                                               u" は桁が大きすぎます。");
}

// A coordinate: the leading number when it is the whole field.
[[gnu::always_inline]] inline double coordinate(std::string_view field, FieldEncoding encoding,
                                                bool isZ, RecordPart axis) {
    try {
        if (const auto value = wholeNumber(field))
            return *value;
        return otherCoordinate(field, encoding, isZ, axis);
    } catch (const RunError& e) {
        if (e.number() != ErrorNumber::Overflow)
            throw;
        throw coordinateOutOfRange(field, encoding, isZ, axis);
    }
}

// The fields after the tag of one record, into point n.
void readRecord(PointTable& table, FieldReader& in, FieldEncoding encoding, std::int32_t n,
                bool isZ, std::int32_t recordLine) {
    ensureRoomFor(n);
    const std::int32_t number =
        pointNumber(recordField(in, isZ, RecordPart::Number), encoding, isZ);
    std::u16string name = decodeName(recordField(in, isZ, RecordPart::Name), encoding);
    const double x = coordinate(recordField(in, isZ, RecordPart::X), encoding, isZ, RecordPart::X);
    const double y = coordinate(recordField(in, isZ, RecordPart::Y), encoding, isZ, RecordPart::Y);
    storePoint(table, n, number, x, y, recordLine);
    // "Z" names are kept exactly as read; "A01" names lose surrounding spaces.
    storeName(table, n, isZ ? std::move(name) : trimSpaces(name));
}

} // namespace

void readCoordinates(PointTable& table, FieldReader& in, FieldEncoding encoding) {
    std::int32_t n = table.pointCount + 1;
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
