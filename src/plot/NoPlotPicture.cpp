#include "plot/PlotPicture.h"

#include <stdexcept>

namespace morvane {

// Built without Qt: the checker works, only --plot is refused.
class OffscreenGui {};

std::u16string plotTitle(const RunSummary&) {
    return {};
}

PlotPictureWriter::PlotPictureWriter() {
    throw std::runtime_error("--plot is not available: this morvane-check was built without Qt");
}

PlotPictureWriter::~PlotPictureWriter() = default;

void PlotPictureWriter::write(const PointTable&, const RunSummary&, std::int32_t, std::int32_t,
                              const std::filesystem::path&) {}

} // namespace morvane
