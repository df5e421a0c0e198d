#include "export/PlaneToGeographic.h"

#include <emscripten.h>

namespace morvane {

// In the browser page: the page's worker converts through proj4js
// (self.morvaneToLonLat in web/worker.js), which knows the nineteen zones;
// this side only carries the numbers. PROJ itself is too large for a page.

namespace {

EM_JS(int, morvaneToLonLat, (int zone, double x, double y, double* lonLat), {
    const at = self.morvaneToLonLat(zone, x, y);
    if (!at || !isFinite(at[0]) || !isFinite(at[1]))
        return 0;
    HEAPF64[lonLat >> 3] = at[0];
    HEAPF64[(lonLat >> 3) + 1] = at[1];
    return 1;
});

} // namespace

PlaneToGeographic::PlaneToGeographic(std::int32_t zone, bool) : m_zone(zone) {
    if (zone < FirstPlaneZone || zone > LastPlaneZone)
        throw ProjectionError("no plane rectangular zone " + std::to_string(zone) +
                              " (zones are 1 to 19)");
}

PlaneToGeographic::~PlaneToGeographic() = default;

LonLat PlaneToGeographic::toLonLat(double x, double y) const {
    double lonLat[2] = {0, 0};
    if (!morvaneToLonLat(m_zone, x, y, lonLat))
        throw ProjectionError("cannot convert x " + std::to_string(x) + ", y " + std::to_string(y) +
                              " of zone " + std::to_string(m_zone));
    return {lonLat[0], lonLat[1]};
}

} // namespace morvane
