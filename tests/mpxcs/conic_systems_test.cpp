// mpxcs on the conic systems of the bundled database: EPSG Guidance Note
// 7-2 worked examples where the guidance note has one, otherwise PROJ 9
// (cs2cs from WGS 84 to the EPSG or ESRI definition named on each row,
// with the Bursa-Wolfe change of the bundled database), both ways.
#include "run_mpxcs.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using mpxcs_test::numbers_of;
using mpxcs_test::run_mpxcs;

// About two millimetres on the ground in degrees: the references are
// printed to 0.1 mm and agree with PROJ to about a millimetre.
constexpr double kDegreeTolerance = 2e-8;
// Guidance-note examples are printed to the centimetre (or hundredth of a
// US survey foot).
constexpr double kPrintedTolerance = 0.011;
constexpr double kMillimetre = 0.001;

struct Published {
    const char *system;   // the projected system
    const char *geodetic; // the geodetic system it is checked from
    double lon, lat;      // degrees on that geodetic system
    double x, y;          // in the projected system's unit
    double tolerance;     // of x and y, in that unit
    const char *reference;
};

const Published kPublished[] = {
    {"JAD69,JAMAICA_NG", "JAD69,GEODETIC", -76.943683333333333, 17.932166666666667, 255966.58,
     142493.51, kPrintedTolerance,
     "EPSG Guidance Note 7-2, Lambert Conic Conformal (1SP), JAD69 / Jamaica National Grid"},
    {"NAD27,TX_SOUTH_CENTRAL", "NAD27,GEODETIC", -96, 28.5, 2963503.91, 254759.80,
     kPrintedTolerance,
     "EPSG Guidance Note 7-2, Lambert Conic Conformal (2SP), NAD27 / Texas South Central, US "
     "survey feet"},
    {"RGF93,LAMBERT93", "WGS84,GEODETIC", 2.35, 48.85, 652301.5648, 6861302.7259, kMillimetre,
     "PROJ cs2cs EPSG:4326 EPSG:2154, Paris"},
    {"RGF93,mod_lambert2", "WGS84,GEODETIC", 2.35, 48.85, 652301.5648, 6861302.7259, kMillimetre,
     "the adjustable record as it starts: PROJ cs2cs EPSG:4326 EPSG:2154, Paris"},
    {"RGF93,LAMBERT93", "WGS84,GEODETIC", 5.37, 43.3, 892394.7774, 6247424.6458, kMillimetre,
     "PROJ cs2cs EPSG:4326 EPSG:2154, Marseille"},
    {"RGF93,LAMBERT93", "WGS84,GEODETIC", -4.49, 48.39, 146341.3473, 6836245.4039, kMillimetre,
     "PROJ cs2cs EPSG:4326 EPSG:2154, Brest"},
    {"RGF93,LAMBERT93", "WGS84,GEODETIC", 7.75, 48.58, 1050163.9436, 6841622.7155, kMillimetre,
     "PROJ cs2cs EPSG:4326 EPSG:2154, Strasbourg"},
    {"NTF,NTF_LAMBERT_I", "WGS84,GEODETIC", 2.35, 48.85, 600990.3150, 127726.4507, kMillimetre,
     "PROJ cs2cs to EPSG:27561 with EPSG:1193"},
    {"NTF,NTF_LAMBERT_I", "WGS84,GEODETIC", 7.75, 48.58, 999095.8954, 112040.9336, kMillimetre,
     "PROJ cs2cs to EPSG:27561 with EPSG:1193"},
    {"NTF,NTF_LAMBERT_II", "WGS84,GEODETIC", 2.35, 48.85, 600990.8924, 427961.5117, kMillimetre,
     "PROJ cs2cs to EPSG:27562 with EPSG:1193"},
    {"NTF,NTF_LAMBERT_III", "WGS84,GEODETIC", 5.37, 43.3, 846081.2918, 115655.1640, kMillimetre,
     "PROJ cs2cs to EPSG:27563 with EPSG:1193"},
    {"NTF,NTF_LAMBERT_IV", "WGS84,GEODETIC", 8.74, 41.93, 530823.5372, 179664.4140, kMillimetre,
     "PROJ cs2cs to EPSG:27564 with EPSG:1193"},
    {"NTF,NTF_LAMBERT_II_ET", "WGS84,GEODETIC", -4.49, 48.39, 94918.5849, 2398740.5806, kMillimetre,
     "PROJ cs2cs to EPSG:27572 with EPSG:1193"},
    {"NTF,NTF_LAMBERT_II_ET", "WGS84,GEODETIC", 2.35, 48.85, 600990.8924, 2427961.5117, kMillimetre,
     "PROJ cs2cs to EPSG:27572 with EPSG:1193"},
    {"NAD83,CONUS_ALBERS", "WGS84,GEODETIC", -77.04, 38.9, 1618254.1952, 1925667.7164, kMillimetre,
     "PROJ cs2cs to EPSG:5070"},
    {"NAD83,CONUS_ALBERS", "WGS84,GEODETIC", -122.33, 47.61, -1967723.4731, 3009471.2900,
     kMillimetre, "PROJ cs2cs to EPSG:5070"},
    {"NAD83,CONUS_ALBERS", "WGS84,GEODETIC", -80.19, 25.76, 1594288.1460, 434316.2392, kMillimetre,
     "PROJ cs2cs to EPSG:5070"},
    {"NAD83,USA_EQUIDIST_CONIC", "WGS84,GEODETIC", -77.04, 38.9, 1624027.3328, 158310.4602,
     kMillimetre, "PROJ cs2cs to ESRI:102005"},
    {"NAD83,USA_EQUIDIST_CONIC", "WGS84,GEODETIC", -118.24, 34.05, -2029746.8321, -300593.7575,
     kMillimetre, "PROJ cs2cs to ESRI:102005"},
};

std::vector<double> convert(const std::string &source, const std::string &target,
                            const std::string &input) {
    auto run = run_mpxcs(mpxcs_test::bundled_db_option() + " -d 10 " + source + " " + target,
                         input + "\n");
    EXPECT_EQ(run.status, 0) << run.err;
    return numbers_of(run.out);
}

TEST(MpxcsConicSystems, ProjectLikeThePublishedCoordinates) {
    for (const Published &p : kPublished) {
        SCOPED_TRACE(std::string(p.geodetic) + " -> " + p.system + " (" + p.reference + ")");
        char input[64];
        std::snprintf(input, sizeof input, "%.12f %.12f", p.lon, p.lat);
        const auto got = convert(p.geodetic, p.system, input);
        ASSERT_GE(got.size(), 2u);
        EXPECT_NEAR(got[0], p.x, p.tolerance);
        EXPECT_NEAR(got[1], p.y, p.tolerance);
    }
}

TEST(MpxcsConicSystems, ReturnThePublishedCoordinatesToTheirPlaces) {
    for (const Published &p : kPublished) {
        SCOPED_TRACE(std::string(p.system) + " -> " + p.geodetic + " (" + p.reference + ")");
        char input[64];
        std::snprintf(input, sizeof input, "%.4f %.4f", p.x, p.y);
        const auto got = convert(p.system, p.geodetic, input);
        ASSERT_GE(got.size(), 2u);
        // Printed to the centimetre: a hundredth of a metre is 1e-7 degree.
        const double tolerance = p.tolerance == kMillimetre ? kDegreeTolerance : 2e-7;
        EXPECT_NEAR(got[0], p.lon, tolerance);
        EXPECT_NEAR(got[1], p.lat, tolerance);
    }
}

TEST(MpxcsConicSystems, ChangeBetweenTheOldAndTheNewFrenchGrids) {
    // NTF Lambert II etendu to Lambert-93 through IGN's NTF to RGF93 grid
    // (ntf_r93.gsb); PROJ 9.1.1 cct with the same steps (inverse lcc with
    // +pm=paris, hgridshift, lcc), 652302.9312 6861303.0257.
    const auto got =
        convert("NTF,NTF_LAMBERT_II_ET", "RGF93,LAMBERT93", "600990.8924 2427961.5117");
    ASSERT_GE(got.size(), 2u);
    EXPECT_NEAR(got[0], 652302.9312, kMillimetre);
    EXPECT_NEAR(got[1], 6861303.0257, kMillimetre);
}

} // namespace
