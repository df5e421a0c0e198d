#include "print/PdfReport.h"

#include <stdexcept>

namespace morvane {

// Built without Qt: the checker works, only --pdf is refused.
class OffscreenGui {};

PdfReportWriter::PdfReportWriter() {
    throw std::runtime_error("--pdf is not available: this morvane-check was built without Qt");
}

PdfReportWriter::~PdfReportWriter() = default;

void PdfReportWriter::write(const PointTable&, const std::optional<RunSummary>&, UiSink&,
                            const std::filesystem::path&) {}

void PdfReportWriter::write(const std::vector<ReportToPrint>&, UiSink&,
                            const std::filesystem::path&) {}

} // namespace morvane
