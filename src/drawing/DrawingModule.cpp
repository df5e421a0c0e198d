#include "drawing/Drawing.h"
#include "plot/PlotPicture.h"
#include "print/PdfReport.h"

#include <string_view>

namespace morvane {
namespace {

// The writers the window uses too, so that the command line's PDF is the
// window's.
class QtDrawing final : public Drawing {
public:
    void writePdf(const PointTable& table, const std::optional<RunSummary>& run, UiSink& ui,
                  const std::filesystem::path& target) override {
        m_pdf.write(table, run, ui, target);
    }
    void writePdf(const std::vector<ReportToPrint>& reports, UiSink& ui,
                  const std::filesystem::path& target) override {
        m_pdf.write(reports, ui, target);
    }
    void writePlot(const PointTable& table, const RunSummary& run, std::int32_t width,
                   std::int32_t height, const std::filesystem::path& target) override {
        m_plot.write(table, run, width, height, target);
    }

private:
    // The first starts Qt's application and keeps it; declared first, it is
    // destroyed last.
    PdfReportWriter m_pdf;
    PlotPictureWriter m_plot;
};

} // namespace
} // namespace morvane

static_assert(std::string_view(morvane::DrawingEntryName) == "morvane_create_drawing");

extern "C" __attribute__((visibility("default"))) morvane::Drawing*
morvane_create_drawing(const morvane::DrawingAbi& caller) {
    if (!(caller == morvane::ThisDrawingAbi))
        return nullptr;
    return new morvane::QtDrawing();
}
