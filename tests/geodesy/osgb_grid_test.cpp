// The bundled OSGB36 -> WGS 84 grid against the Bursa-Wolfe change it was
// fitted to.
#include "geodesy/grid_access_state.hpp"
#include "geodesy_test_support.hpp"

#include <gtest/gtest.h>

using namespace geodesy_test;

namespace {

// EPSG:1314, position-vector convention.
const mpx_bw_params kOsgb36ToWgs84{MPX_BW_FULL,
                                   446.448,
                                   -125.157,
                                   542.060,
                                   0.1502 * kArcSecond,
                                   0.2470 * kArcSecond,
                                   0.8421 * kArcSecond,
                                   1.0 - 20.4894e-6};

class OsgbGrid : public testing::Test {
  protected:
    void SetUp() override {
        const int id = grid_access_init(MPX_SOURCE_DIR "data/grids/osgb36_wgs84.grd");
        ASSERT_NE(id, 0);
        forward_ = {id, 0, grid_access_inq_num_coeffs()};
        inverse_ = {id, 1, forward_.num_coeffs};
    }
    void TearDown() override { grid_access_close(forward_.grid_id); }

    struct Deviation {
        double grid_lon, grid_lat, lon, lat; // grid result, Bursa-Wolfe minus grid (metres)
    };
    Deviation compare(double lon, double lat) const {
        double glon, glat, gh, blon, blat, bh;
        EXPECT_EQ(
            mpx_grid_gd_to_gd(&forward_, &kAiry1830, &kWgs84, lon, lat, 0.0, &glon, &glat, &gh), 0);
        mpx_bw_gd_to_gd(&kOsgb36ToWgs84, &kAiry1830, &kWgs84, lon, lat, 0.0, &blon, &blat, &bh);
        return {glon, glat, metres((blon - glon) * std::cos(lat)), metres(blat - glat)};
    }

    mpx_grid_change forward_{}, inverse_{};
};

TEST_F(OsgbGrid, CoversGreatBritainInWholeDegrees) {
    EXPECT_EQ(forward_.num_coeffs, 8);
    double c[18];
    EXPECT_EQ(grid_access_get_block(-8 * kDegree, 49 * kDegree, c), 0);
    EXPECT_EQ(grid_access_get_block(1.999 * kDegree, 60.999 * kDegree, c), 0);
    EXPECT_EQ(grid_access_get_block(2.001 * kDegree, 55 * kDegree, c), -1);
    EXPECT_EQ(grid_access_get_block(0.0, 61.001 * kDegree, c), -1);
}

TEST_F(OsgbGrid, CellCornersReproduceTheBursaWolfeChange) {
    for (int lat = 49; lat <= 60; ++lat)
        for (int lon = -8; lon <= 1; ++lon) {
            const Deviation d = compare(lon * kDegree, lat * kDegree);
            EXPECT_LT(d.lon, 1e-6) << lon << " " << lat;
            EXPECT_LT(d.lat, 1e-6) << lon << " " << lat;
        }
}

// Bilinear interpolation over 1-degree cells departs by up to 3.5 cm, far
// below the few metres to which the change itself holds.
TEST_F(OsgbGrid, CellInteriorsFollowTheChangeWithinCentimetres) {
    for (double lat = 49.1; lat < 61.0; lat += 0.25)
        for (double lon = -7.9; lon < 2.0; lon += 0.25) {
            const Deviation d = compare(lon * kDegree, lat * kDegree);
            EXPECT_LT(d.lon, 0.05) << lon << " " << lat;
            EXPECT_LT(d.lat, 0.05) << lon << " " << lat;
        }
}

// Reference from PROJ's cs2cs with the same parameters (+towgs84, which
// takes position-vector rotations): OSGB36 (2 W, 53 N) is WGS 84
// (2.001448898920 W, 53.000308020272 N).
TEST_F(OsgbGrid, AgreesWithAnIndependentImplementation) {
    const Deviation d = compare(-2.0 * kDegree, 53.0 * kDegree); // a cell corner
    EXPECT_LT(metres((d.grid_lon + 2.001448898920 * kDegree) * std::cos(53 * kDegree)), 0.001);
    EXPECT_LT(metres(d.grid_lat - 53.000308020272 * kDegree), 0.001);
    double lon, lat, h;
    mpx_bw_gd_to_gd(&kOsgb36ToWgs84, &kAiry1830, &kWgs84, -2.0 * kDegree, 53.0 * kDegree, 0.0, &lon,
                    &lat, &h);
    EXPECT_NEAR(lon / kDegree, -2.001448898920, 1e-11);
    EXPECT_NEAR(lat / kDegree, 53.000308020272, 1e-11);
}

TEST_F(OsgbGrid, InverseReturnsTheOsgbPoint) {
    const double lon = -3.2 * kDegree, lat = 55.95 * kDegree; // Edinburgh
    double wlon, wlat, wh, olon, olat, oh;
    ASSERT_EQ(mpx_grid_gd_to_gd(&forward_, &kAiry1830, &kWgs84, lon, lat, 0, &wlon, &wlat, &wh), 0);
    ASSERT_EQ(mpx_grid_gd_to_gd(&inverse_, &kWgs84, &kAiry1830, wlon, wlat, 0, &olon, &olat, &oh),
              0);
    EXPECT_LT(metres(olon - lon), 0.01);
    EXPECT_LT(metres(olat - lat), 0.01);
}

} // namespace
