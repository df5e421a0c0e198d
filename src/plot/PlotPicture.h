#pragma once

#include "core/RunSummary.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace morvane {

class OffscreenGui;

struct PointTable;

// "sample.sim　較差 0 から 0.05 m　25 点　同一名称 3　同一座標値 4": what the
// overview shows, with 打ち切り when a check ended early.
std::u16string plotTitle(const RunSummary& run);

// Draws the overview of a run (every point, every finding, scale bar, north
// arrow and title line) into a PNG file. Qt stays behind this header, so the
// command-line checker includes no Qt. It starts a GUI application (fonts
// need one) on the offscreen platform unless QT_QPA_PLATFORM names another,
// so no display is needed.
class PlotPictureWriter {
public:
    PlotPictureWriter();
    ~PlotPictureWriter();

    PlotPictureWriter(const PlotPictureWriter&) = delete;
    PlotPictureWriter& operator=(const PlotPictureWriter&) = delete;

    // Writes into a new file beside target and renames it over target only
    // when the whole picture was written, so a failure leaves an existing
    // target as it was. Throws std::runtime_error saying what went wrong.
    void write(const PointTable& table, const RunSummary& run, std::int32_t width,
               std::int32_t height, const std::filesystem::path& target);

private:
    std::unique_ptr<OffscreenGui> m_gui;
};

} // namespace morvane
