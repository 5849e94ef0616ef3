// mpxcs on the systems bundled so that every base projection has one for
// the gallery: the north polar orthographic and gnomonic (on the sphere of
// radius a, as Esri defines them) and the South African Lo15 grid, a
// Transverse Mercator with both axes reversed; against PROJ 9.
#include "run_mpxcs.hpp"

#include <gtest/gtest.h>

namespace {

constexpr double kMillimetre = 0.001;
// About a millimetre on the ground in degrees.
constexpr double kDegreeTolerance = 1e-8;

const mpxcs_test::Conversion kConversions[] = {
    {"WGS84,GEODETIC", "WGS84,NORTH_POLE_ORTHO", "30 60", 1594534.2500, -2761814.3354, kMillimetre,
     "PROJ +proj=ortho +f=0 +lat_0=90 +a=6378137 (ESRI:102035)"},
    {"WGS84,GEODETIC", "WGS84,NORTH_POLE_ORTHO", "-120 45", -3905795.2899, 2255011.9620,
     kMillimetre, "PROJ +proj=ortho +f=0 +lat_0=90 +a=6378137 (ESRI:102035)"},
    {"WGS84,NORTH_POLE_ORTHO", "WGS84,GEODETIC", "1594534.2500 -2761814.3354", 30.0, 60.0,
     kDegreeTolerance, "the first point reversed"},
    {"WGS84,GEODETIC", "WGS84,NORTH_POLE_GNOMONIC", "30 60", 1841209.5569, -3189068.5000,
     kMillimetre, "PROJ +proj=gnom +lat_0=90 +a=6378137 +b=6378137 (ESRI:102034)"},
    {"WGS84,GEODETIC", "WGS84,NORTH_POLE_GNOMONIC", "-120 45", -5523628.6708, 3189068.5000,
     kMillimetre, "PROJ +proj=gnom +lat_0=90 +a=6378137 +b=6378137 (ESRI:102034)"},
    {"WGS84,NORTH_POLE_GNOMONIC", "WGS84,GEODETIC", "-5523628.6708 3189068.5000", -120.0, 45.0,
     kDegreeTolerance, "the second point reversed"},
    {"WGS84,GEODETIC", "WGS84,SA_LO15", "18.5 -33.9", -323801.8221, 3758089.4936, kMillimetre,
     "PROJ cs2cs EPSG:4326 EPSG:2046 (westing, southing)"},
    {"WGS84,GEODETIC", "WGS84,SA_LO15", "15.5 -34.5", -45920.2014, 3819238.3878, kMillimetre,
     "PROJ cs2cs EPSG:4326 EPSG:2046 (westing, southing)"},
    {"WGS84,SA_LO15", "WGS84,GEODETIC", "-323801.8221 3758089.4936", 18.5, -33.9, kDegreeTolerance,
     "the first Lo15 point reversed"},
};

TEST(GallerySystems, AgreeWithProj) { mpxcs_test::expect_conversions(kConversions); }

} // namespace
