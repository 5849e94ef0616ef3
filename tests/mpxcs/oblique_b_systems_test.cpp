// mpxcs on the bundled oblique grids (Alaska zone 1, Laborde, RSO Borneo,
// RD) from and to WGS 84, through each datum's Bursa-Wolfe change. The
// grid coordinates are the published worked examples; their WGS 84
// positions come from PROJ 9 cs2cs applying the same EPSG transformation
// (+towgs84 with the parameters named on each row).
#include "run_mpxcs.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

using mpxcs_test::numbers_of;
using mpxcs_test::run_mpxcs;

struct Example {
    const char *grid;      // datum,projection
    double lon, lat;       // WGS 84, degrees
    double east, north;    // grid, metres
    double grid_tolerance; // metres: the grid's own agreement with the example
    const char *reference;
};

// Degrees of latitude per metre (1 degree is about 111 km).
constexpr double kDegreePerMetre = 1.0 / 111000;

const Example kExamples[] = {
    {"NAD83,ALASKA_ZONE1", -133.666666666667, 57, 818676.7344, 575097.6889, 0.001,
     "centre of EPSG:26931, PROJ +proj=omerc +no_uoff; NAD83 to WGS 84 by EPSG:1188"},
    {"TANANARIVE,LABORDE_GRID", 44.4572661391, -16.1910767642, 188333.848, 1098841.091, 0.002,
     "EPSG Guidance Note 7-2 Laborde example; Tananarive to WGS 84 by EPSG:6873"},
    {"TIMBALAI1948,RSO_BORNEO", 115.8083811897, 5.3863682551, 679245.73, 596562.78, 0.03,
     "EPSG Guidance Note 7-2 Hotine example (RSO Borneo); EPSG:1592"},
    {"AMERSFOORT,RD_NEW", 5.9994760111, 52.9989121617, 196105.283, 557057.739, 0.03,
     "EPSG Guidance Note 7-2 oblique stereographic example (RD New); EPSG:15934"},
    {"AMERSFOORT,RD_NEW", 5.3872035814, 52.1551723027, 155000, 463000, 0.001,
     "Amersfoort, the RD origin 52 09 22.178 N 5 23 15.500 E; EPSG:15934"},
};

std::string input(double a, double b, const char *format = "%.10f %.10f\n") {
    char text[80];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

TEST(MpxcsObliqueGrids, ConvertWgs84ToThePublishedGridCoordinates) {
    for (const Example &x : kExamples) {
        SCOPED_TRACE(std::string(x.grid) + " (" + x.reference + ")");
        auto run = run_mpxcs(mpxcs_test::bundled_db_option() + " -d 10 WGS84,GEODETIC " + x.grid,
                             input(x.lon, x.lat));
        ASSERT_EQ(run.status, 0) << run.err;
        auto got = numbers_of(run.out);
        ASSERT_GE(got.size(), 2u) << run.out;
        // From WGS 84 the change runs with negated parameters, which
        // inverts a seven-parameter change only to the product of its
        // rotations and scale with its translations: 4 mm for EPSG:15934.
        EXPECT_NEAR(got[0], x.east, x.grid_tolerance + 0.005);
        EXPECT_NEAR(got[1], x.north, x.grid_tolerance + 0.005);
    }
}

TEST(MpxcsObliqueGrids, ConvertThePublishedGridCoordinatesToWgs84) {
    for (const Example &x : kExamples) {
        SCOPED_TRACE(std::string(x.grid) + " (" + x.reference + ")");
        auto run =
            run_mpxcs(mpxcs_test::bundled_db_option() + " -d 10 " + x.grid + " WGS84,GEODETIC",
                      input(x.east, x.north, "%.4f %.4f\n"));
        ASSERT_EQ(run.status, 0) << run.err;
        auto got = numbers_of(run.out);
        ASSERT_GE(got.size(), 2u) << run.out;
        // Longitude degrees are shorter by cos(latitude), 0.6 at 53 N.
        const double tolerance = (x.grid_tolerance + 0.001) * kDegreePerMetre / 0.6;
        EXPECT_NEAR(got[0], x.lon, tolerance);
        EXPECT_NEAR(got[1], x.lat, tolerance);
    }
}

} // namespace
