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

// Each zone's origin, as the EPSG definitions give it. Where PROJ's database
// cannot be found (a Windows program has none beside it), the conversion is
// written out as PROJ's own steps, minutes exact: within 1e-12 degrees of the
// lookup by EPSG code, which stays first so that every GeoJSON written with
// the database keeps its last digits.
struct ZoneOrigin {
    std::int32_t latitude;
    std::int32_t longitudeDegrees;
    std::int32_t longitudeMinutes;
};
constexpr ZoneOrigin ZoneOrigins[LastPlaneZone] = {
    {33, 129, 30}, {33, 131, 0},  {36, 132, 10}, {33, 133, 30}, {36, 134, 20},
    {36, 136, 0},  {36, 137, 10}, {36, 138, 30}, {36, 139, 50}, {40, 140, 50},
    {44, 140, 15}, {44, 142, 15}, {44, 144, 15}, {26, 142, 0},  {26, 127, 30},
    {26, 124, 0},  {26, 131, 0},  {20, 136, 0},  {26, 154, 0}};

// Easting, northing in metres to longitude, latitude in degrees: the
// inverse transverse Mercator of the zone on the GRS80 ellipsoid, which
// JGD2011 and its plane zones share.
std::string zonePipeline(std::int32_t zone) {
    const ZoneOrigin& origin = ZoneOrigins[zone - FirstPlaneZone];
    return "+proj=pipeline +step +inv +proj=tmerc +lat_0=" + std::to_string(origin.latitude) +
           " +lon_0=" + std::to_string(origin.longitudeDegrees) + "d" +
           std::to_string(origin.longitudeMinutes) +
           " +k=0.9999 +x_0=0 +y_0=0 +ellps=GRS80 +step +proj=unitconvert +xy_in=rad "
           "+xy_out=deg";
}

std::string zoneText(std::int32_t zone) {
    return "zone " + std::to_string(zone) + " (EPSG:" + std::to_string(ZoneCodeBase + zone) + ")";
}

std::string projReason(pj_ctx* context, int error) {
    const char* text = proj_context_errno_string(context, error);
    return text ? text : "unknown error " + std::to_string(error);
}

} // namespace

PlaneToGeographic::PlaneToGeographic(std::int32_t zone, bool writtenOut) : m_zone(zone) {
    if (zone < FirstPlaneZone || zone > LastPlaneZone)
        throw ProjectionError("no plane rectangular zone " + std::to_string(zone) +
                              "; the zones are 1 to 19");
    m_context = proj_context_create();
    if (!m_context)
        throw ProjectionError("PROJ could not start");
    // Errors come back through proj_context_errno, not printed by PROJ.
    proj_log_level(m_context, PJ_LOG_NONE);
    const std::string plane = "EPSG:" + std::to_string(ZoneCodeBase + zone);
    PJ* exact = writtenOut ? nullptr
                           : proj_create_crs_to_crs(m_context, plane.c_str(), Geographic, nullptr);
    if (exact) {
        // Easting, northing in; longitude, latitude out (in degrees), whatever
        // order the EPSG definitions give their axes.
        m_conversion = proj_normalize_for_visualization(m_context, exact);
        proj_destroy(exact);
    } else {
        m_conversion = proj_create(m_context, zonePipeline(zone).c_str());
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
    return {out.v[0], out.v[1]};
}

} // namespace morvane
