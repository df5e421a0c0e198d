#include "cli/PlotOutput.h"

#include <charconv>
#include <optional>
#include <set>
#include <string_view>
#include <system_error>

namespace morvane {

namespace {

constexpr std::int32_t MinPlotPixels = 64;
constexpr std::int32_t MaxPlotPixels = 8000;

// A whole number of pixels within the limits, or nothing.
std::optional<std::int32_t> pixels(std::string_view text) {
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < MinPlotPixels ||
        value > MaxPlotPixels)
        return std::nullopt;
    return value;
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
    namespace fs = std::filesystem;
    if (options.plot.empty())
        return {};
    const fs::path plot(options.plot);
    std::error_code ec;
    const bool folder = fs::is_directory(plot, ec);
    if (!folder && options.files.size() > 1)
        throw UsageError("with several files, --plot takes a folder (one picture per file); \"" +
                         options.plot + "\" is not a folder");
    if (!folder && !plot.has_filename())
        throw UsageError("--plot " + options.plot + ": no such folder");

    std::set<fs::path> pdfs;
    for (const auto& pdf : pdfTargets(options))
        pdfs.insert(pdf.lexically_normal());
    std::vector<fs::path> targets;
    std::set<fs::path> seen;
    for (const auto& file : options.files) {
        fs::path target = plot;
        if (folder)
            target = plot / fs::path(file).stem().concat(".png");
        if (!seen.insert(target.lexically_normal()).second)
            throw UsageError("--plot: " + file + " would write " + target.string() +
                             " a second time; give the files different names");
        if (pdfs.contains(target.lexically_normal()))
            throw UsageError("--plot " + target.string() + " is also the PDF report");
        for (const auto& input : options.files)
            if (fs::equivalent(target, input, ec))
                throw UsageError("--plot " + target.string() + " would overwrite the input file " +
                                 input);
        targets.push_back(std::move(target));
    }
    return targets;
}

} // namespace morvane
