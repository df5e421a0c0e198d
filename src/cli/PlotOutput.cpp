#include "cli/PlotOutput.h"

#include <optional>
#include <set>
#include <string_view>
#include <system_error>

namespace morvane {

namespace {

constexpr std::int32_t MinPlotPixels = 64;
constexpr std::int32_t MaxPlotPixels = 8000;

std::optional<std::int32_t> pixels(std::string_view text) {
    return wholeNumberIn(text, MinPlotPixels, MaxPlotPixels);
}

} // namespace

std::pair<std::int32_t, std::int32_t> parsePlotSize(const std::string& text) {
    const std::size_t by = text.find_first_of("xX");
    if (by != std::string::npos) {
        const auto width = pixels(std::string_view(text).substr(0, by));
        const auto height = pixels(std::string_view(text).substr(by + 1));
        if (width && height)
            return {*width, *height};
    }
    throw UsageError("--plot-size takes WIDTHxHEIGHT in pixels, each " +
                     std::to_string(MinPlotPixels) + " to " + std::to_string(MaxPlotPixels) +
                     ", not \"" + text + "\"");
}

std::vector<std::filesystem::path> plotTargets(const CliOptions& options) {
    std::set<std::filesystem::path> pdfs;
    for (const auto& pdf : pdfTargets(options))
        pdfs.insert(pdf.lexically_normal());
    return outputTargets(options, {"--plot", options.plot, "picture", ".png", "PDF report"}, pdfs);
}

} // namespace morvane
