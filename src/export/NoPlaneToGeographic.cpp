#include "export/PlaneToGeographic.h"

namespace morvane {

// Built without PROJ: CSV and JSON are written, GeoJSON is refused with this
// error before any file is read.
PlaneToGeographic::PlaneToGeographic(std::int32_t zone, bool) : m_zone(zone) {
    throw ProjectionError("--format geojson is not available: this morvane-check was built "
                          "without PROJ");
}

PlaneToGeographic::~PlaneToGeographic() = default;

LonLat PlaneToGeographic::toLonLat(double, double) const {
    return {};
}

} // namespace morvane
