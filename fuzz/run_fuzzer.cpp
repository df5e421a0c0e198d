// A whole check run, exactly as the window starts it, over arbitrary bytes in
// an in-memory file: tolerance validation, reset, file checks, reading, the
// checks, the result text, and abandoning the run on a run-time error.
#include "FuzzInput.h"
#include "core/PointTable.h"
#include "core/RunError.h"
#include "run/CheckRun.h"
#include "support/TestPoints.h"

#include <optional>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

using namespace morvane;
using fuzz::fail;

namespace {

int memoryFile() {
    static const int fd = memfd_create("points.sim", MFD_CLOEXEC);
    if (fd < 0)
        fail("memfd_create");
    return fd;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PointTable& d = test::sharedPointTable();
    const int fd = memoryFile();
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
        fail("writing the in-memory file");

    const std::uint32_t h = fuzz::mix(data, size);
    CountingUiSink ui;
    ui.file = "/proc/self/fd/" + std::to_string(fd);
    fuzz::fillFromBits(ui, h);
    // A file that fails is a unit that failed: the run shows its error and
    // leaves nothing of it. An error outside any unit is thrown, and the
    // window abandons the run.
    // A band that is not one number starts nothing: one message, and what
    // the run before left stays.
    if (refusedBand(ui.lowerField, ui.toleranceField)) {
        const std::int32_t reportLine = d.nextReportLine;
        if (runCheck(d, ui) || ui.messages != 1 || ui.items != 0 || d.nextReportLine != reportLine)
            fail("a refused band started a run");
        resetRun(d, ui);
        return 0;
    }
    std::optional<RunSummary> summary;
    try {
        summary = runCheck(d, ui);
    } catch (const RunError& e) {
        abandonRun(d, ui, e);
    }
    if (!summary) {
        if (ui.items != 0 || !ui.resultField.empty() || d.nextReportLine != 0 || ui.messages == 0)
            fail("a failed run left results behind");
        return 0;
    }
    // Report lines 1..nextReportLine-1 and the empty one, each with CR LF,
    // then the line that says an empty band checked nothing, after findings,
    // then a line for each check that stopped early.
    std::int32_t lineBreaks = 0;
    for (std::size_t i = 0; i + 1 < ui.resultField.size(); ++i)
        lineBreaks += ui.resultField[i] == u'\r' && ui.resultField[i + 1] == u'\n';
    const std::int32_t notRunLine =
        summary->checks.coincidentPoints && summary->bandEmpty() && d.nextReportLine > 1;
    const std::int32_t stopLines = notRunLine +
                                   (summary->duplicateNameCheck != CheckEnd::Finished) +
                                   (summary->coincidentPointCheck != CheckEnd::Finished) +
                                   (summary->duplicateNumberCheck != CheckEnd::Finished);
    if (d.nextReportLine < 1 || lineBreaks != d.nextReportLine + stopLines ||
        ui.resultField.size() < 2 || ui.resultField.substr(ui.resultField.size() - 2) != u"\r\n" ||
        ui.items < 1)
        fail("result text");
    return 0;
}
