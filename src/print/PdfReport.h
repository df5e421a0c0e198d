#pragma once

#include "core/RunSummary.h"
#include "output/ReportPrint.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

namespace morvane {

class OffscreenGui;

struct PointTable;
class UiSink;

// Prints a run's report through the print command onto an A4 PDF, as the
// window prints it on paper. Qt stays behind this header, so the command-line
// checker includes no Qt. It starts a GUI application (fonts need one) on the
// offscreen platform unless QT_QPA_PLATFORM names another, so no display is
// needed.
class PdfReportWriter {
public:
    PdfReportWriter();
    ~PdfReportWriter();

    PdfReportWriter(const PdfReportWriter&) = delete;
    PdfReportWriter& operator=(const PdfReportWriter&) = delete;

    // Writes into a new file beside target and renames it over target only
    // when the whole document was written, so a failure leaves an existing
    // target as it was. Throws std::runtime_error saying what went wrong.
    // The run names the file, band and time in each page's footer.
    void write(const PointTable& table, const std::optional<RunSummary>& run, UiSink& ui,
               const std::filesystem::path& target);
    // The same for the reports of a file of several sources, in turn.
    void write(const std::vector<ReportToPrint>& reports, UiSink& ui,
               const std::filesystem::path& target);

private:
    void writeWith(const std::function<void(PrinterSink&)>& print,
                   const std::filesystem::path& target);

    std::unique_ptr<OffscreenGui> m_gui;
};

} // namespace morvane
