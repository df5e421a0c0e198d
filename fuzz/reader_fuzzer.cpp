// The field reader, the coordinate reader and both checks over arbitrary
// bytes, on a table that is allocated once and cleared only where the input
// could have written, so that each input takes microseconds.
#include "FuzzInput.h"
#include "checks/CoincidentPoints.h"
#include "checks/DuplicateNames.h"
#include "checks/KeySort.h"
#include "core/PointTable.h"
#include "core/RunError.h"
#include "input/CoordinateFile.h"
#include "input/CoordinateReader.h"
#include "input/EncodingDetection.h"
#include "input/Utf16Transcoder.h"
#include "support/MemoryFields.h"
#include "support/TestPoints.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using namespace morvane;
using fuzz::fail;

namespace {

using Fields = std::vector<std::pair<std::string, bool>>;

Fields allFields(FieldReader in, std::size_t size, std::size_t maxFieldBytes) {
    Fields fields;
    while (!in.atEnd()) {
        const std::string_view f = in.readField();
        if (f.size() > maxFieldBytes)
            fail("a field is longer than the reader keeps");
        fields.emplace_back(f, in.fieldCut());
        // Every field takes at least one byte, the delimiter or itself.
        if (fields.size() > size)
            fail("more fields than bytes");
    }
    return fields;
}

// The bytes handed over at most `piece` at a time.
ByteSource piecesOf(std::string_view bytes, std::size_t piece) {
    return [bytes, piece](char* buffer, std::size_t size) mutable {
        const std::size_t n = std::min({size, piece, bytes.size()});
        std::copy_n(bytes.data(), n, buffer);
        bytes.remove_prefix(n);
        return n;
    };
}

std::string utf8Of(std::string_view utf16, bool bigEndian, std::size_t piece, std::size_t room) {
    Utf16Transcoder transcoder(piecesOf(utf16, piece), bigEndian);
    std::string out, buffer(room, '\0');
    while (const std::size_t n = transcoder(buffer.data(), room))
        out.append(buffer.data(), n);
    return out;
}

// Sorted keys, each index once, one report line per line written.
void checkTable(const PointTable& d, const CountingUiSink& ui) {
    if (d.pointCount < 0 || d.pointCount > TableCapacity)
        fail("point count");
    std::vector<bool> seen(d.pointCount + 1);
    for (std::int32_t i = 1; i <= d.pointCount; ++i) {
        if (std::isnan(d.sortKeys[i]) || (i > 1 && d.sortKeys[i - 1] > d.sortKeys[i]))
            fail("keys out of order");
        const std::int32_t p = roundHalfEven(d.sortOrder[i]);
        if (p < 1 || p > d.pointCount || seen[p])
            fail("sort index is no permutation");
        seen[p] = true;
    }
    if (d.nextReportLine < 1 || d.nextReportLine > TableCapacity + 1 ||
        (d.nextReportLine - 1) % 3 != 0)
        fail("report position");
    if (ui.items * 3 != (d.nextReportLine - 1) * 4)
        fail("list and report disagree");
    if (d.writtenReportLines().size() != static_cast<std::size_t>(d.nextReportLine - 1))
        fail("report lines and findings disagree");
    const ReportLines lines = d.writtenReportLines();
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].empty())
            fail("empty report line");
}

void clearTable(PointTable& d, std::size_t inputSize) {
    // A record takes at least five bytes; every slot it could reach is cleared.
    const auto points = static_cast<std::int32_t>(
        std::min<std::size_t>({TableCapacity, inputSize / 2 + 2, d.xs.size() - 1}));
    for (std::int32_t i = 1; i <= points; ++i) {
        d.numbers[i] = 0;
        d.names.assign(i, {});
        d.xs[i] = d.ys[i] = d.sortKeys[i] = d.sortOrder[i] = 0;
    }
    d.findings.clear();
    d.pointCount = 0;
    d.nextReportLine = 0;
    d.reportFull = false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::uint32_t h = fuzz::mix(data, size);
    const std::size_t bufferSizes[] = {1, 7, 4096, FieldReader::DefaultBufferSize};
    const std::size_t rooms[] = {5, 300, FieldReader::MaxFieldBytes, FieldReader::MaxFieldBytes};
    const std::size_t bufferSize = bufferSizes[h & 3];
    const std::size_t room = rooms[(h >> 2) & 3];

    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // Where the buffer ends must never change a field.
    if (allFields(test::fieldReaderOver(bytes, bufferSize, room), size, room) !=
        allFields(test::fieldReaderOver(bytes, FieldReader::DefaultBufferSize, room), size, room))
        fail("buffer size changes the fields");

    // Nor may the way the bytes arrive change the guessed encoding or the
    // UTF-8 that UTF-16 becomes, which is at most 3 bytes for 2.
    const bool bigEndian = (h >> 12) & 1;
    if (decideEncoding(EncodingChoice::Auto, piecesOf(bytes, bufferSize)).encoding !=
        decideEncoding(EncodingChoice::Auto, piecesOf(bytes, size + 1)).encoding)
        fail("piece size changes the guessed encoding");
    const std::string utf8 = utf8Of(bytes, bigEndian, size + 1, FieldReader::DefaultBufferSize);
    if (utf8Of(bytes, bigEndian, bufferSize, bufferSize % 5 + 1) != utf8)
        fail("piece or buffer size changes the UTF-16 text");
    if (utf8.size() > size / 2 * 3 + 3)
        fail("UTF-16 text grew beyond 3 bytes a unit");

    PointTable& d = test::sharedPointTable();
    CountingUiSink ui;
    fuzz::fillFromBits(ui, h >> 4);
    try {
        // The bytes as code page 932, as UTF-8 or as UTF-16.
        const auto encoding = (h >> 13) & 3;
        FieldReader in = encoding == 2
                             ? FieldReader(Utf16Transcoder(piecesOf(bytes, bufferSize), bigEndian),
                                           bufferSize, room)
                             : test::fieldReaderOver(bytes, bufferSize, room);
        readCoordinates(d, in, encoding == 0 ? FieldEncoding::Cp932 : FieldEncoding::Utf8);
        sortByKey(d);
        d.nextReportLine = 1;
        checkDuplicateNames(d, ui);
        checkCoincidentPoints(d, ui);
        checkTable(d, ui);
    } catch (const RunError&) {
        // A clear error is a sound answer; anything else escapes and crashes.
    }
    clearTable(d, size);
    return 0;
}
