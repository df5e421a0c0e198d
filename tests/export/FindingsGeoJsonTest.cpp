#include "export/FindingsGeoJson.h"

#include "core/FileFindings.h"
#include "export/PlaneToGeographic.h"

#include <sstream>

#include <gtest/gtest.h>

namespace morvane {
namespace {

FileFindings onePair(double x1, double y1, double x2, double y2) {
    FileFindings file;
    file.summary.file = "site.sim";
    file.findings = {{FindingKind::DuplicateName, 0, {1, "P", x1, y1, 3}, {2, "P", x2, y2, 4}}};
    return file;
}

std::string geoJsonOf(const FileFindings& file, const PlaneToGeographic& zone) {
    std::ostringstream out;
    GeoJsonWriter writer(out);
    writer.addFile(file, zone);
    writer.finish();
    return out.str();
}

struct GeometryCase {
    const char* what;
    double x1, y1, x2, y2;
    const char* geometry;
};

// (0, 0) is a point without coordinates: drawn at the zone's origin it would
// send the reader kilometres away.
constexpr GeometryCase Geometries[] = {
    {"two spots", -42100, 12500, -42100, 12500.01, R"("geometry":{"type":"LineString")"},
    {"one spot", -42100, 12500, -42100, 12500, R"("geometry":{"type":"Point")"},
    {"second without coordinates", -42100, 12500, 0, 0, R"("geometry":{"type":"Point")"},
    {"both without coordinates", 0, 0, 0, 0, R"("geometry":null)"},
};

TEST(FindingsGeoJson, GeometryFollowsThePoints) {
    const PlaneToGeographic zone(9);
    const std::string located = geoJsonOf(onePair(-42100, 12500, -42100, 12500), zone);
    // The Point's longitude and latitude, as they stand in any geometry.
    const std::string opening = "\"coordinates\":[";
    const std::size_t at = located.find(opening);
    ASSERT_NE(at, std::string::npos);
    const std::size_t from = at + opening.size();
    const std::string position = located.substr(from, located.find(']', from) - from);
    for (const auto& c : Geometries) {
        SCOPED_TRACE(c.what);
        const std::string text = geoJsonOf(onePair(c.x1, c.y1, c.x2, c.y2), zone);
        EXPECT_NE(text.find(c.geometry), std::string::npos) << text;
        // Whatever the geometry, the point that has coordinates is where it is.
        if (c.x1 != 0) {
            EXPECT_NE(text.find(position), std::string::npos) << text;
        }
    }
}

TEST(FindingsGeoJson, APointProjCannotPlaceLeavesTheCollectionValid) {
    const PlaneToGeographic zone(9);
    std::ostringstream out;
    GeoJsonWriter writer(out);
    writer.addFile(onePair(-42100, 12500, -42100, 12500), zone);
    const std::string before = out.str();
    try {
        writer.addFile(onePair(-42100, 12500, 5e7, 5e7), zone);
        ADD_FAILURE() << "no error for a point far outside the zone";
    } catch (const ProjectionError& e) {
        EXPECT_EQ(e.line(), 4);
        EXPECT_NE(std::string(e.what()).find("EPSG:6677"), std::string::npos) << e.what();
    }
    EXPECT_EQ(out.str(), before);
    writer.finish();
    EXPECT_EQ(out.str().substr(out.str().size() - 3), "]}\n");
}

} // namespace
} // namespace morvane
