// Where PROJ's database is missing, each zone's conversion is written out as
// PROJ steps: every zone must place points where its EPSG definition does.
#include "export/PlaneToGeographic.h"

#include <cmath>
#include <proj.h>
#include <string>

#include <gtest/gtest.h>

namespace morvane {
namespace {

TEST(PlaneToGeographic, EveryZoneAgreesWithItsEpsgDefinition) {
    PJ_CONTEXT* context = proj_context_create();
    // The origin, and spots some way off in every direction, as far as a
    // zone reaches.
    constexpr double Points[][2] = {
        {0, 0}, {-42116.225, 12602.871}, {150000, -120000}, {-250000, 200000}};
    for (std::int32_t zone = FirstPlaneZone; zone <= LastPlaneZone; ++zone) {
        SCOPED_TRACE("zone " + std::to_string(zone));
        const std::string plane = "EPSG:" + std::to_string(6668 + zone);
        PJ* byCode = proj_create_crs_to_crs(context, plane.c_str(), "EPSG:6668", nullptr);
        ASSERT_NE(byCode, nullptr) << "PROJ's database lacks " << plane;
        PJ* normalised = proj_normalize_for_visualization(context, byCode);
        const PlaneToGeographic written(zone, true);
        for (const auto& [x, y] : Points) {
            const PJ_COORD want = proj_trans(normalised, PJ_FWD, proj_coord(y, x, 0, 0));
            const LonLat got = written.toLonLat(x, y);
            EXPECT_NEAR(got.longitude, want.v[0], 1e-11) << x << ", " << y;
            EXPECT_NEAR(got.latitude, want.v[1], 1e-11) << x << ", " << y;
        }
        proj_destroy(normalised);
        proj_destroy(byCode);
    }
    proj_context_destroy(context);
}

} // namespace
} // namespace morvane
