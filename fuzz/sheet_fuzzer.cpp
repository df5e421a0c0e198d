// The map sheet reader over arbitrary XML, and the archive listing and
// reading (sheets and coordinate files) over arbitrary ZIP bytes (inputs that
// start with "PK"): each either reads or stops with a RunError, and how the
// bytes arrive changes nothing.
#include "FuzzInput.h"
#include "core/PointTable.h"
#include "core/RunError.h"
#include "core/Text.h"
#include "input/MapSheet.h"
#include "input/PointSources.h"
#include "support/TestFiles.h"
#include "support/TestPoints.h"

#include <algorithm>
#include <string>
#include <string_view>

using namespace morvane;
using fuzz::fail;

namespace {

// The points read, or that there was an error, as one text to compare.
std::string outcome(PointTable& d, std::string_view bytes, std::size_t piece) {
    d.clear();
    try {
        const CoordinateSystem system =
            readMapSheet(d, [&bytes, piece](char* buffer, std::size_t size) {
                const std::size_t n = std::min({size, piece, bytes.size()});
                std::copy_n(bytes.data(), n, buffer);
                bytes.remove_prefix(n);
                return n;
            }).coordinateSystem;
        std::string text = std::to_string(static_cast<int>(system.kind)) + " " +
                           std::to_string(system.zone) + "\n";
        for (std::int32_t n = 1; n <= d.pointCount; ++n) {
            if (d.sortOrder[n] != n || (n > 1 && d.lines[n] < d.lines[n - 1]))
                fail("points out of order");
            text += std::to_string(d.numbers[n]) + " " + toUtf8(d.names[n]) + " " +
                    std::to_string(d.xs[n]) + " " + std::to_string(d.ys[n]) + " " +
                    std::to_string(d.lines[n]) + "\n";
        }
        return text;
    } catch (const RunError&) {
        // Which fault expat names first in XML with several can depend on
        // where the pieces end; that there is one cannot.
        return "error";
    }
}

void readArchive(PointTable& d, std::string_view bytes) {
    // A small limit, so that a bomb is found within the fuzzer's time.
    UnpackLimits limits;
    limits.memberBytes = 4 * 1024 * 1024;
    const test::TempFile file{std::string(bytes), "input.zip"};
    try {
        for (const PointSource& source : pointSourcesOf(file.path(), limits)) {
            d.clear();
            try {
                source.read(d);
            } catch (const RunError& e) {
                if (e.place().file != source.displayName())
                    fail("a sheet's error names another file");
            }
        }
    } catch (const RunError& e) {
        if (e.place().file != file.path())
            fail("an archive's error names another file");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    PointTable& d = test::sharedPointTable();
    if (bytes.starts_with("PK")) {
        readArchive(d, bytes);
        return 0;
    }
    const std::size_t pieces[] = {1, 3, 64, 4096};
    const std::size_t piece = pieces[fuzz::mix(data, size) & 3];
    if (outcome(d, bytes, piece) != outcome(d, bytes, size + 1))
        fail("piece size changes what the sheet gives");
    return 0;
}
