#include "cli/OptionValues.h"

#include "export/PlaneToGeographic.h"

#include <algorithm>
#include <charconv>
#include <system_error>

namespace morvane {

namespace {

constexpr std::int32_t MinPlotPixels = 64;
constexpr std::int32_t MaxPlotPixels = 8000;

std::optional<std::int32_t> pixels(std::string_view text) {
    return wholeNumberIn(text, MinPlotPixels, MaxPlotPixels);
}

} // namespace

std::optional<std::int32_t> wholeNumberIn(std::string_view text, std::int32_t min,
                                          std::int32_t max) {
    std::int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || rest != end || value < min || value > max)
        return std::nullopt;
    return value;
}

std::size_t jobCount(const std::string& text) {
    // Each job holds a point table of about 50 MB; a thousand is a typo.
    if (const auto n = wholeNumberIn(text, 1, 1024))
        return static_cast<std::size_t>(*n);
    throw UsageError("-j takes a number of files from 1 to 1024, not \"" + text + "\"");
}

std::int32_t planeZone(const std::string& text) {
    if (const auto zone = wholeNumberIn(text, FirstPlaneZone, LastPlaneZone))
        return *zone;
    throw UsageError("--zone takes a plane rectangular zone from 1 to 19, not \"" + text + "\"");
}

std::pair<std::int32_t, std::int32_t> plotSize(const std::string& text) {
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

CheckChoice checkList(const std::string& text) {
    CheckChoice checks{false, false, false};
    std::size_t from = 0;
    for (;;) {
        const std::size_t comma = std::min(text.find(',', from), text.size());
        const std::string_view word = std::string_view(text).substr(from, comma - from);
        if (word == "names")
            checks.duplicateNames = true;
        else if (word == "coincident")
            checks.coincidentPoints = true;
        else if (word == "numbers")
            checks.duplicateNumbers = true;
        else
            throw UsageError("--check takes \"names\", \"coincident\" or \"numbers\", "
                             "separated by commas, not \"" +
                             std::string(word) + "\"");
        if (comma == text.size())
            break;
        from = comma + 1;
    }
    // "--check numbers" turns the number check on beside the two that run by
    // default; a list that names either of those names the whole set.
    if (!checks.duplicateNames && !checks.coincidentPoints)
        checks.duplicateNames = checks.coincidentPoints = true;
    return checks;
}

} // namespace morvane
