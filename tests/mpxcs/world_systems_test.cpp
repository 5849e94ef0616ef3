// mpxcs on the bundled world systems: each projection on WGS 84 (the
// spherical ones on a sphere of radius a, as the ESRI definitions have it)
// and on the GRS 1980 authalic sphere (datum SPHERE), against PROJ 9.1.1
// (cs2cs running the definition named on each row) and against Robinson's
// published table.
#include "run_mpxcs.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

using mpxcs_test::numbers_of;
using mpxcs_test::run_mpxcs;

constexpr double kMillimetre = 0.001;
// About a millimetre on the ground in degrees.
constexpr double kDegreeTolerance = 1e-8;

const mpxcs_test::Conversion kWorld[] = {
    {"WGS84,GEODETIC", "WGS84,WORLD_MOLLWEIDE", "10 50", 760633.1862, 5873471.9562, kMillimetre,
     "ESRI:54009, +proj=moll +datum=WGS84"},
    {"WGS84,GEODETIC", "WGS84,WORLD_SINUSOIDAL", "10 50", 716957.5362, 5540847.0417, kMillimetre,
     "ESRI:54008, +proj=sinu +datum=WGS84"},
    {"WGS84,GEODETIC", "WGS84,WORLD_ECKERT4", "10 50", 797381.9022, 6071482.4060, kMillimetre,
     "ESRI:54012, +proj=eck4 +datum=WGS84"},
    {"WGS84,GEODETIC", "WGS84,WORLD_ECKERT6", "10 50", 720144.0228, 6104019.1040, kMillimetre,
     "ESRI:54010, +proj=eck6 +datum=WGS84"},
    {"WGS84,GEODETIC", "WGS84,WORLD_VANDERGRINTEN", "10 50", 1010890.0678, 6082946.0386,
     kMillimetre, "+proj=vandg +datum=WGS84 (ESRI:54029 takes the authalic radius instead)"},
    // 50 degrees is a node of the table: X = 0.8679, Y = 0.6176, so
    // x = 0.8679 * 0.8487 * a * 10 degrees and y = 0.6176 * 1.3523 * a.
    {"WGS84,GEODETIC", "WGS84,WORLD_ROBINSON", "10 50", 819964.5971, 5326895.5212, kMillimetre,
     "Robinson's table (ESRI:54030; PROJ's spline gives 819964.6102 5326895.7260)"},
    // On the sphere every one of them agrees with PROJ.
    {"SPHERE,GEODETIC", "SPHERE,WORLD_MOLLWEIDE", "-120 -60", -7774066.9564, -6869071.5931,
     kMillimetre, "+proj=moll +R=6371007"},
    {"SPHERE,GEODETIC", "SPHERE,WORLD_SINUSOIDAL", "-120 -60", -6671702.9291, -6671702.9291,
     kMillimetre, "+proj=sinu +R=6371007"},
    {"SPHERE,GEODETIC", "SPHERE,WORLD_ECKERT4", "-120 -60", -8802366.9431, -6988308.4741,
     kMillimetre, "+proj=eck4 +R=6371007"},
    {"SPHERE,GEODETIC", "SPHERE,WORLD_ECKERT6", "-120 -60", -7622583.5545, -7142151.5716,
     kMillimetre, "+proj=eck6 +R=6371007"},
    {"SPHERE,GEODETIC", "SPHERE,WORLD_VANDERGRINTEN", "-120 -60", -11530381.1208, -8679671.4931,
     kMillimetre, "+proj=vandg +R=6371007"},
    {"SPHERE,GEODETIC", "SPHERE,WORLD_WINKELTRIPEL", "-120 -60", -10427280.4892, -7091429.0247,
     kMillimetre, "+proj=wintri +lat_1=0 +R=6371007"},
    // Backward, through each inverse.
    {"SPHERE,WORLD_VANDERGRINTEN", "SPHERE,GEODETIC", "-11530381.1208 -8679671.4931", -120, -60,
     kDegreeTolerance, "+proj=vandg +R=6371007"},
    {"SPHERE,WORLD_WINKELTRIPEL", "SPHERE,GEODETIC", "-10427280.4892 -7091429.0247", -120, -60,
     kDegreeTolerance, "+proj=wintri +lat_1=0 +R=6371007"},
    {"WGS84,WORLD_ROBINSON", "WGS84,GEODETIC", "819964.5971 5326895.5212", 10, 50, kDegreeTolerance,
     "Robinson's table"},
    {"WGS84,WORLD_MOLLWEIDE", "WGS84,GEODETIC", "760633.1862 5873471.9562", 10, 50,
     kDegreeTolerance, "+proj=moll +datum=WGS84"},
};

TEST(MpxcsWorldSystems, ConvertLikePublishedDefinitions) { mpxcs_test::expect_conversions(kWorld); }

// Projected to projected through geodetic coordinates on one datum: the
// equator's end in Mollweide (2 sqrt(2) a) is 180 degrees east, which
// Eckert VI puts at 2 pi a / sqrt(2 + pi).
TEST(MpxcsWorldSystems, ProjectedToProjectedPassesThroughTheEquatorsEnd) {
    auto run = run_mpxcs(mpxcs_test::bundled_db_option() +
                             " -d 4 SPHERE,WORLD_MOLLWEIDE SPHERE,WORLD_ECKERT6",
                         "18019929.0107 0\n");
    ASSERT_EQ(run.status, 0) << run.err;
    auto numbers = numbers_of(run.out);
    ASSERT_GE(numbers.size(), 2u) << run.out;
    EXPECT_NEAR(numbers[0], 17653837.2052, kMillimetre);
    EXPECT_NEAR(numbers[1], 0.0, kMillimetre);
}

// A map point above Robinson's pole line has no latitude: the point is
// marked as failed and the run reports it.
TEST(MpxcsWorldSystems, PointAboveRobinsonsPoleLineIsMarkedFailed) {
    auto run =
        run_mpxcs(mpxcs_test::bundled_db_option() + " -d 4 WGS84,WORLD_ROBINSON WGS84,GEODETIC",
                  "0 9000000\n0 0\n");
    EXPECT_NE(run.status, 0);
    auto lines = run.out_lines();
    ASSERT_EQ(lines.size(), 2u) << run.out;
    EXPECT_EQ(lines[0], "*\t*");
    EXPECT_EQ(numbers_of(lines[1]).size(), 2u);
    EXPECT_NE(run.err.find("transformation error"), std::string::npos) << run.err;
}

} // namespace
