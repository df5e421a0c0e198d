#pragma once

#include "core/PointTable.h"
#include "core/RunSummary.h"
#include "output/ReportPrint.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace morvane {

class UiSink;

// What morvane-check draws: the printed report as a PDF and the overview as a
// PNG. Both need Qt Gui, whose loading alone would cost every run more than a
// small file's check, so they live in a module that is loaded only when
// --pdf or --plot asks (loadDrawing). Each write replaces its target only
// when whole and throws std::runtime_error saying what went wrong, as
// PdfReportWriter and PlotPictureWriter do.
class Drawing {
public:
    virtual ~Drawing() = default;

    virtual void writePdf(const PointTable& table, const std::optional<RunSummary>& run, UiSink& ui,
                          const std::filesystem::path& target) = 0;
    // The reports of a file of several sources, in turn, in one PDF.
    virtual void writePdf(const std::vector<ReportToPrint>& reports, UiSink& ui,
                          const std::filesystem::path& target) = 0;
    virtual void writePlot(const PointTable& table, const RunSummary& run, std::int32_t width,
                           std::int32_t height, const std::filesystem::path& target) = 0;
};

// What the program and the module must agree on before one hands the other a
// table: a module of another build (an older package beside a newer program)
// would read the structures wrongly, so it refuses to start instead.
struct DrawingAbi {
    std::int32_t version;
    std::size_t pointTable;
    std::size_t runSummary;
    std::size_t reportToPrint;

    friend bool operator==(const DrawingAbi&, const DrawingAbi&) = default;
};

// The version is raised whenever Drawing or the structures it takes change in
// a way their sizes do not show.
inline constexpr DrawingAbi ThisDrawingAbi{1, sizeof(PointTable), sizeof(RunSummary),
                                           sizeof(ReportToPrint)};

// The one symbol the module exports: a new Drawing, or null when the caller's
// DrawingAbi is not the module's. Qt's application for drawing starts here,
// on the caller's thread.
inline constexpr char DrawingEntryName[] = "morvane_create_drawing";
using DrawingEntry = Drawing* (*)(const DrawingAbi& caller);

} // namespace morvane
