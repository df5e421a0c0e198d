#include "export/PlaneToGeographic.h"

#include "core/NumberFormat.h"
#include "core/Text.h"

#include <cmath>
#include <proj.h>
#include <string>

namespace morvane {

namespace {

// EPSG:6669 is zone I, EPSG:6687 zone XIX; EPSG:6668 their geographic system.
constexpr std::int32_t ZoneCodeBase = 6668;
constexpr const char* Geographic = "EPSG:6668";

std::string zoneText(std::int32_t zone) {
    return "zone " + std::to_string(zone) + " (EPSG:" + std::to_string(ZoneCodeBase + zone) + ")";
}

std::string projReason(pj_ctx* context, int error) {
    const char* text = proj_context_errno_string(context, error);
    return text ? text : "unknown error " + std::to_string(error);
}

} // namespace

PlaneToGeographic::PlaneToGeographic(std::int32_t zone) : m_zone(zone) {
    if (zone < FirstPlaneZone || zone > LastPlaneZone)
        throw ProjectionError("no plane rectangular zone " + std::to_string(zone) +
                              "; the zones are 1 to 19");
    m_context = proj_context_create();
    if (!m_context)
        throw ProjectionError("PROJ could not start");
    // Errors come back through proj_context_errno, not printed by PROJ.
    proj_log_level(m_context, PJ_LOG_NONE);
    const std::string plane = "EPSG:" + std::to_string(ZoneCodeBase + zone);
    PJ* exact = proj_create_crs_to_crs(m_context, plane.c_str(), Geographic, nullptr);
    if (exact) {
        // Easting, northing in; longitude, latitude out, whatever order the
        // EPSG definitions give their axes.
        m_conversion = proj_normalize_for_visualization(m_context, exact);
        proj_destroy(exact);
    }
    if (!m_conversion) {
        const std::string reason = projReason(m_context, proj_context_errno(m_context));
        proj_context_destroy(m_context);
        throw ProjectionError("PROJ cannot convert " + zoneText(zone) +
                              " to longitude and latitude: " + reason);
    }
}

PlaneToGeographic::~PlaneToGeographic() {
    proj_destroy(m_conversion);
    proj_context_destroy(m_context);
}

LonLat PlaneToGeographic::toLonLat(double x, double y) const {
    proj_errno_reset(m_conversion);
    const PJ_COORD in = proj_coord(y, x, 0, 0);
    const PJ_COORD out = proj_trans(m_conversion, PJ_FWD, in);
    const int error = proj_errno(m_conversion);
    if (error != 0 || !std::isfinite(out.lp.lam) || !std::isfinite(out.lp.phi))
        throw ProjectionError("PROJ cannot convert X " + toUtf8(formatShortest(x)) + ", Y " +
                              toUtf8(formatShortest(y)) + " of " + zoneText(m_zone) +
                              " to longitude and latitude: " +
                              (error != 0 ? projReason(m_context, error) : "no result"));
    // Normalised for visualisation, the output is in degrees, longitude first.
    return {out.v[0], out.v[1]};
}

} // namespace morvane
