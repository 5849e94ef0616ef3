// mpxcs on the bundled polyconic, modified polyconic, Bonne and bipolar
// systems, from and to WGS 84. None of these systems has published test
// coordinates to the millimetre, so the expected values come from PROJ 9
// (cs2cs) running the definition named on each row, with the same datum
// change; the forward values agree to 0.1 mm, the inverse ones to 1e-8
// degree.
#include "run_mpxcs.hpp"

#include <gtest/gtest.h>

namespace {

using mpxcs_test::run_mpxcs;

constexpr double kMillimetre = 0.001;
// About a millimetre on the ground.
constexpr double kDegreeTolerance = 1e-8;

const mpxcs_test::Conversion kCases[] = {
    // SIRGAS 2000 / Brazil Polyconic; SIRGAS 2000 to WGS 84 is the null
    // change EPSG:15894.
    {"WGS84,GEODETIC", "SIRGAS2000,BRAZIL_POLYCONIC", "-47.93 -15.78", 5650314.8854, 8245332.9351,
     kMillimetre, "cs2cs EPSG:4326 EPSG:5880 (Brasilia)"},
    {"WGS84,GEODETIC", "SIRGAS2000,BRAZIL_POLYCONIC", "-60 -35", 4452600.2702, 6108962.4307,
     kMillimetre, "cs2cs EPSG:4326 EPSG:5880 (far south-west)"},
    {"SIRGAS2000,BRAZIL_POLYCONIC", "WGS84,GEODETIC", "5650314.8854 8245332.9351", -47.93, -15.78,
     kDegreeTolerance, "cs2cs EPSG:5880 EPSG:4326"},
    // Bonne France Etat Major on ATIG (Plessis 1817), with IGN's change
    // TSG681 (translations 1118, 23, 66 m).
    {"WGS84,GEODETIC", "ATIG,BONNE_FRANCE", "2.35 48.85", 961.3456, 427993.3681, kMillimetre,
     "cs2cs EPSG:4326 IGNF:ATIGBONNE (Paris)"},
    {"WGS84,GEODETIC", "ATIG,BONNE_FRANCE", "7.26 43.7", 396575.2146, -132379.3180, kMillimetre,
     "cs2cs EPSG:4326 IGNF:ATIGBONNE (Nice)"},
    {"ATIG,BONNE_FRANCE", "WGS84,GEODETIC", "961.3456 427993.3681", 2.349999979, 48.849999954,
     kDegreeTolerance, "cs2cs IGNF:ATIGBONNE EPSG:4326"},
    // IMW sheet NM-31 on ED50 (International 1924, the IMW's ellipsoid).
    {"WGS84,GEODETIC", "ED50,IMW_NM31", "4.35 50.85", 95112.8776, 317862.6705, kMillimetre,
     "cs2cs +proj=imw_p +lat_1=48 +lat_2=52 +lon_0=3 +ellps=intl +towgs84=-87,-98,-121"},
    {"ED50,IMW_NM31", "WGS84,GEODETIC", "95112.8776 317862.6705", 4.350000016, 50.850000007,
     kDegreeTolerance, "cs2cs, as above, inverse"},
    // The bipolar projection of the Americas on NAD27 (the sphere of
    // Clarke 1866's semi-major axis), NAD27 to WGS 84 by EPSG:1173.
    {"WGS84,GEODETIC", "NAD27,BIPOLAR_AMERICAS", "-74 40.7", -108388.2852, 2541870.1403,
     kMillimetre, "cs2cs +proj=bipc +ns +ellps=clrk66 +towgs84=-8,160,176 (New York)"},
    {"WGS84,GEODETIC", "NAD27,BIPOLAR_AMERICAS", "-58 -34.6", 1730605.7312, -5541663.9549,
     kMillimetre, "cs2cs, as above (Buenos Aires)"},
    {"NAD27,BIPOLAR_AMERICAS", "WGS84,GEODETIC", "-108388.2852 2541870.1403", -73.999999998,
     40.700000000, kDegreeTolerance, "cs2cs, as above, inverse"},
};

TEST(MpxcsPolyconicSystems, ConvertLikeTheIndependentValues) {
    mpxcs_test::expect_conversions(kCases);
}

TEST(MpxcsPolyconicSystems, ThePoleOfTheBipolarConeFailsAsAPoint) {
    // Pole A (20 S, 110 W) is the apex of its cone: the forward reaches
    // it, the way back cannot name a longitude.
    auto forward =
        run_mpxcs(mpxcs_test::bundled_db_option() + " -d 4 NAD27,GEODETIC NAD27,BIPOLAR_AMERICAS",
                  "-110 -20\n");
    ASSERT_EQ(forward.status, 0) << forward.err;
    auto back = run_mpxcs(
        mpxcs_test::bundled_db_option() + " NAD27,BIPOLAR_AMERICAS NAD27,GEODETIC", forward.out);
    EXPECT_EQ(back.status, 2);
}

} // namespace
