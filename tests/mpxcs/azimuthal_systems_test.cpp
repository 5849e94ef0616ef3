// mpxcs on the azimuthal systems of the bundled database: the polar
// stereographic grids (UPS north and south, Australian Antarctic), Stereo 70,
// ETRS89-LAEA Europe and the north polar azimuthal equidistant, against the
// EPSG Guidance Note 7-2 examples and PROJ 9 (cs2cs with the EPSG or ESRI
// code named on each row).
#include "run_mpxcs.hpp"

#include <gtest/gtest.h>

namespace {

using mpxcs_test::numbers_of;
using mpxcs_test::run_mpxcs;

// Guidance-note examples are printed to the centimetre.
constexpr double kPrinted = 0.011;
constexpr double kMillimetre = 0.001;
// About a millimetre on the ground in degrees.
constexpr double kDegreeTolerance = 1e-8;
// A grid point printed to the centimetre, in degrees.
constexpr double kPrintedDegrees = 2e-7;

const mpxcs_test::Conversion kPublished[] = {
    {"WGS84,GEODETIC", "WGS84,UPS_NORTH", "44 73", 3320416.75, 632668.43, kPrinted,
     "EPSG Guidance Note 7-2, Polar Stereographic (variant A), WGS 84 / UPS North"},
    {"WGS84,UPS_NORTH", "WGS84,GEODETIC", "3320416.75 632668.43", 44.0, 73.0, kPrintedDegrees,
     "EPSG Guidance Note 7-2, variant A, reversed"},
    {"WGS84,GEODETIC", "WGS84,UPS_NORTH", "-45 85", 1607232.3119, 1607232.3119, kMillimetre,
     "PROJ cs2cs EPSG:4326 EPSG:32661"},
    {"WGS84,GEODETIC", "WGS84,UPS_SOUTH", "-120 -80", 1036156.0422, 1443524.4315, kMillimetre,
     "PROJ cs2cs EPSG:4326 EPSG:32761 (printed northing first)"},
    {"WGS84,UPS_SOUTH", "WGS84,GEODETIC", "2000000 2000000", 0.0, -90.0, kDegreeTolerance,
     "the pole is the false origin"},
    {"WGS84,GEODETIC", "WGS84,AUS_ANTARCTIC_PS", "120 -75", 7255380.79, 7053389.56, kPrinted,
     "EPSG Guidance Note 7-2, Polar Stereographic (variant B), EPSG:3032"},
    {"ETRS89,GEODETIC", "ETRS89,ETRS89_LAEA", "5 50", 3962799.45, 2999718.85, kPrinted,
     "EPSG Guidance Note 7-2, Lambert Azimuthal Equal Area, EPSG:3035"},
    {"ETRS89,ETRS89_LAEA", "WGS84,GEODETIC", "3962799.45 2999718.85", 5.0, 50.0, kPrintedDegrees,
     "EPSG Guidance Note 7-2 reversed, EPSG:1149 (null change)"},
    {"WGS84,GEODETIC", "WGS84,NORTH_POLE_AEQD", "30 70", 1116492.5008, -1933821.7376, kMillimetre,
     "PROJ cs2cs EPSG:4326 ESRI:102016"},
    // Stereo 70 is defined by EPSG (31700, 3844) on the Oblique Stereographic
    // method 9809, a double projection through the Gauss conformal sphere
    // (so the record with its parameters is not called Stereo 70);
    // "stereo" is Snyder's oblique stereographic on the conformal latitude.
    // The two agree at the origin and part with distance: 2.4 m at 90 km,
    // up to 40 m at the edges of Romania. PROJ "stere" computes Snyder's.
    {"PULKOVO58,GEODETIC", "PULKOVO58,RO_SNYDER_STEREO", "25 46", 500000.0, 500000.0, kMillimetre,
     "EPSG:31700, the natural origin"},
    {"PULKOVO58,GEODETIC", "PULKOVO58,RO_SNYDER_STEREO", "24 46.5", 423252.6951, 556048.5856,
     kMillimetre,
     "PROJ proj +proj=stere +lat_0=46 +lon_0=25 +k=0.99975 +x_0=500000 +y_0=500000 +ellps=krass"},
    {"PULKOVO58,GEODETIC", "PULKOVO58,RO_SNYDER_STEREO", "24 46.5", 423254.9596, 556049.3139, 2.5,
     "PROJ cs2cs EPSG:4179 EPSG:3844 (method 9809: the difference above)"},
    {"PULKOVO58,GEODETIC", "WGS84,GEODETIC", "24 46.5", 23.998419444, 46.499712040,
     kDegreeTolerance, "PROJ cs2cs EPSG:4179 EPSG:4326 (EPSG:15995, coordinate frame)"},
    {"PULKOVO58,RO_SNYDER_STEREO", "WGS84,GEODETIC", "423252.6951 556048.5856", 23.998419444,
     46.499712040, kDegreeTolerance, "the two rows above chained"},
};

TEST(MpxcsAzimuthalSystems, ConvertLikeThePublishedExamples) {
    mpxcs_test::expect_conversions(kPublished);
}

TEST(MpxcsAzimuthalSystems, UpsSouthRefusesTheNorthPole) {
    // The opposite pole lies at infinity on a polar stereographic grid: the
    // point fails and the converter says so in its exit status.
    auto run = run_mpxcs(mpxcs_test::bundled_db_option() + " WGS84,GEODETIC WGS84,UPS_SOUTH",
                         "10 90\n10 -89\n");
    EXPECT_EQ(run.status, 2) << run.out << run.err;
    auto lines = run.out_lines();
    ASSERT_EQ(lines.size(), 2u) << run.out;
    EXPECT_EQ(lines[0], "*\t*");
    EXPECT_EQ(numbers_of(lines[1]).size(), 2u);
}

} // namespace
