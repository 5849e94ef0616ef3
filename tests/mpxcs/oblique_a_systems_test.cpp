// mpxcs on the bundled New Zealand Map Grid, GS-50 and Swiss LV03 systems:
// the agencies' published points, and PROJ 9 cs2cs (development oracle)
// running the same projection and the same EPSG datum change to WGS 84.
#include "run_mpxcs.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

using mpxcs_test::numbers_of;
using mpxcs_test::run_mpxcs;

// About a millimetre on the ground in degrees.
constexpr double kDegreeTolerance = 1e-8;
constexpr double kMillimetre = 0.001;
// Geographic values printed to 1e-6 degree: up to 0.06 m on the grid.
constexpr double kMicrodegreePrint = 0.1;
// swisstopo's worked example uses its approximate formulas (about 1 m)
// and EPSG:1753 is itself a one-metre transformation.
constexpr double kMetreLevel = 1.5;
constexpr double kMetreLevelDegrees = 1.5e-5;

const mpxcs_test::Conversion kCases[] = {
    // New Zealand Map Grid on NZGD49 (International 1924).
    {"NZGD49,GEODETIC", "NZGD49,NZMG", "172.739194 -34.444066", 2487100.638, 6751049.719,
     kMicrodegreePrint, "Lands and Survey Technical Circular 1973/32 test point"},
    {"NZGD49,NZMG", "NZGD49,GEODETIC", "2216746.425 5388508.765", 169.172062, -46.651295, 1e-6,
     "Lands and Survey Technical Circular 1973/32 test point"},
    {"NZGD49,NZMG", "WGS84,GEODETIC", "2487100.638 6751049.719", 172.739360159, -34.442221373,
     kDegreeTolerance, "PROJ +proj=nzmg, then EPSG:1564"},
    {"NZGD49,NZMG", "WGS84,GEODETIC", "2216746.425 5388508.765", 169.172125174, -46.649708348,
     kDegreeTolerance, "PROJ +proj=nzmg, then EPSG:1564"},
    // CH1903 / LV03 (Bessel 1841); the first column is x, along the
    // meridian (200000 at Bern), the second y (600000 at Bern).
    {"CH1903,GEODETIC", "CH1903,LV03", "7.439583333333333 46.95240555555556", 200000, 600000,
     kMillimetre, "GeoIV-swisstopo art. 2: Bern 46 57 08.66 N, 7 26 22.50 E"},
    {"WGS84,GEODETIC", "CH1903,LV03", "8.730497222 46.044130556", 99999.97, 699999.76, kMetreLevel,
     "swisstopo approximate formulas, worked example (46 2 38.87, 8 43 49.79)"},
    {"CH1903,LV03", "WGS84,GEODETIC", "100000 700000", 8.730500, 46.044128, kMetreLevelDegrees,
     "swisstopo approximate formulas, worked example (46 2 38.86, 8 43 49.80)"},
    {"CH1903,LV03", "WGS84,GEODETIC", "100000 700000", 8.730494051, 46.044121977, kDegreeTolerance,
     "PROJ +proj=somerc, then EPSG:1753"},
    {"CH1903,LV03", "WGS84,GEODETIC", "248000 683000", 8.537698551, 47.377607332, kDegreeTolerance,
     "PROJ +proj=somerc, then EPSG:1753"},
    // GS-50 on NAD27 (Clarke 1866). PROJ's gs50 fixes e^2 = 0.00676866,
    // Snyder's rounding, and the datum's exact Clarke 1866 moves points by
    // up to about 3 mm.
    {"NAD27,GEODETIC", "NAD27,GS50", "-100 40", 1672352.4021, -347454.7477, 0.005,
     "PROJ +proj=gs50 +ellps=clrk66"},
    {"WGS84,GEODETIC", "NAD27,GS50", "-100 40", 1672386.9044, -347447.5512, 0.005,
     "EPSG:1173 inverted, then PROJ +proj=gs50"},
    {"NAD27,GS50", "NAD27,GEODETIC", "-1654798.2044 1942067.2041", -150, 60, 1e-7,
     "PROJ +proj=gs50 +ellps=clrk66 (Alaska)"},
};

TEST(MpxcsObliqueGrids, ConvertsLikeThePublishedPointsAndTheOracle) {
    mpxcs_test::expect_conversions(kCases);
}

// From each grid's own geodetic system onto the grid and back: the
// backward refinement returns the point within a millimetre. (Through
// WGS 84 the inverted Bursa-Wolfe change adds a few millimetres of its
// own.)
TEST(MpxcsObliqueGrids, RoundTripsFromWgs84ThroughEachGrid) {
    const char *grids[][3] = {
        {"NZGD49,GEODETIC", "NZGD49,NZMG", "174.78 -41.3\n168.3 -46.4\n"},
        {"CH1903,GEODETIC", "CH1903,LV03", "6.15 46.2\n9.8 46.5\n"},
        {"NAD27,GEODETIC", "NAD27,GS50", "-75 40\n-150 61\n"},
    };
    for (const auto &[geodetic, grid, points] : grids) {
        SCOPED_TRACE(grid);
        const std::string systems =
            mpxcs_test::bundled_db_option() + " -d 10 " + geodetic + " " + grid;
        auto forward = run_mpxcs(systems, points);
        ASSERT_EQ(forward.status, 0) << forward.err;
        auto back = run_mpxcs(systems + " -I", forward.out);
        ASSERT_EQ(back.status, 0) << back.err;
        auto in = numbers_of(points);
        ASSERT_EQ(in.size(), 4u);
        auto lines = back.out_lines();
        ASSERT_EQ(lines.size(), 2u);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            auto got = numbers_of(lines[i]);
            ASSERT_GE(got.size(), 2u) << lines[i];
            EXPECT_NEAR(got[0], in[2 * i], kDegreeTolerance);
            EXPECT_NEAR(got[1], in[2 * i + 1], kDegreeTolerance);
        }
    }
}

} // namespace
