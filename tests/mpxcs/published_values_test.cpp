// mpxcs on the bundled database against values published or computed
// independently: EPSG Guidance Note 7-2 worked examples, and PROJ 9.1.1
// (cs2cs and cct running the EPSG operation named on each row, with the
// EPSG parameters in their original convention).
#include "run_mpxcs.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

namespace {

using mpxcs_test::numbers_of;
using mpxcs_test::run_mpxcs;

// About a millimetre on the ground in degrees (1 degree of latitude is
// about 111 km).
constexpr double kDegreeTolerance = 1e-8;
// Guidance-note examples are printed to the centimetre (or link).
constexpr double kPrintedTolerance = 0.011;
constexpr double kMillimetre = 0.001;

const mpxcs_test::Conversion kPublished[] = {
    // UTM to geodetic on one datum.
    {"WGS84,UTM31N", "WGS84,GEODETIC", "500000 4649776.22482", 3.0, 42.0, kDegreeTolerance,
     "PROJ cs2cs +proj=utm +zone=31"},
    {"WGS84,UTM31N", "WGS84,GEODETIC", "448251.795 5411932.678 10", 2.294499997, 48.858200003,
     kDegreeTolerance, "PROJ cs2cs +proj=utm +zone=31"},
    {"WGS84,UTM33S", "WGS84,GEODETIC", "400000 6200000", 13.912856161, -34.336476415,
     kDegreeTolerance, "PROJ cs2cs +proj=utm +zone=33 +south"},
    {"WGS84,UTM60N", "WGS84,GEODETIC", "400000 5500000", 175.614831370, 49.644256862,
     kDegreeTolerance, "PROJ cs2cs +proj=utm +zone=60"},
    {"WGS84,GEODETIC", "WGS84,UTM1S", "-177.5 -20 5", 447696.8742, 7788440.6367, kMillimetre,
     "PROJ cs2cs +proj=utm +zone=1 +south"},
    // Bursa-Wolfe changes to WGS 84; the EPSG operation code is the source.
    {"ED50,GEODETIC", "WGS84,GEODETIC", "2.35 48.85", 2.348714454, 48.849085256, kDegreeTolerance,
     "EPSG:1133"},
    {"ED50,GEODETIC", "WGS84,GEODETIC", "-3.7 40.4 100", -3.701218061, 40.398828219,
     kDegreeTolerance, "EPSG:1133"},
    {"ED50,GEODETIC", "WGS84,GEODETIC", "13.4 52.5", 13.398893121, 52.499309554, kDegreeTolerance,
     "EPSG:1133"},
    {"ED50,UTM31N", "WGS84,GEODETIC", "448251.795 5411932.678", 2.293260051, 48.856321354,
     kDegreeTolerance, "EPSG:1133 after +proj=utm +zone=31 +ellps=intl"},
    {"OSGB36,GEODETIC", "WGS84,GEODETIC", "-1.5 52.0", -1.501468393, 52.000432094, kDegreeTolerance,
     "EPSG:1314 (position vector)"},
    {"DHDN,GK3", "WGS84,GEODETIC", "3500000 5500000", 8.998963564, 49.636710642, kDegreeTolerance,
     "EPSG:1777 after EPSG:31467"},
    {"DHDN,GEODETIC", "WGS84,GEODETIC", "9.0 49.6", 8.998963876, 49.598898871, kDegreeTolerance,
     "EPSG:1777 (position vector)"},
    // Coordinate-frame parameters, stored with negated rotations.
    {"NZGD49,GEODETIC", "WGS84,GEODETIC", "174.78 -41.3", 174.780164115, -41.298287934,
     kDegreeTolerance, "EPSG:1564 (coordinate frame, arc-seconds)"},
    {"AMERSFOORT,GEODETIC", "WGS84,GEODETIC", "5.4 52.1", 5.399562670, 52.099018312,
     kDegreeTolerance, "EPSG:15934 (coordinate frame, microradians)"},
    {"CH1903,GEODETIC", "WGS84,GEODETIC", "7.44 46.95", 7.439047088, 46.948679923, kDegreeTolerance,
     "EPSG:1753 (coordinate frame, centesimal seconds)"},
    {"PULKOVO1942,GEODETIC", "WGS84,GEODETIC", "37.62 55.75", 37.618126740, 55.750036430,
     kDegreeTolerance, "EPSG:1267 (coordinate frame)"},
    // Translations only: the onshore Australian and the Japanese changes.
    {"AGD66,GEODETIC", "WGS84,GEODETIC", "149.1 -35.3", 149.101214961, -35.298438910,
     kDegreeTolerance, "EPSG:15788 (Australia onshore)"},
    {"TOKYO,GEODETIC", "WGS84,GEODETIC", "139.767 35.681", 139.763766046, 35.684238903,
     kDegreeTolerance, "EPSG:15484 (Japan onshore)"},
    // National grids and world projections.
    {"OSGB36,GEODETIC", "OSGB36,BNG", "0.5 50.5", 577274.99, 69740.50, kPrintedTolerance,
     "EPSG Guidance Note 7-2, Transverse Mercator example"},
    {"TRINIDAD1903,GEODETIC", "TRINIDAD1903,TRINIDAD_GRID", "-62 10", 66644.94, 82536.22,
     kPrintedTolerance, "EPSG Guidance Note 7-2, Cassini-Soldner example (Clarke's links)"},
    {"DHDN,GEODETIC", "DHDN,GK3", "9.5 50", 3535843.4288, 5540399.3500, kMillimetre,
     "PROJ cs2cs EPSG:31467 parameters"},
    {"WGS84,GEODETIC", "WGS84,WORLD_MERCATOR", "10 50", 1113194.9079, 6413524.5942, kMillimetre,
     "PROJ cs2cs +proj=merc (EPSG:3395)"},
    {"WGS84,GEODETIC", "WGS84,WORLD_MERCATOR", "-120 -60", -13358338.8952, -8362698.5485,
     kMillimetre, "PROJ cs2cs +proj=merc (EPSG:3395)"},
    {"WGS84,GEODETIC", "WGS84,WORLD_PLATECARREE", "10 50", 1113194.9079, 5565974.5397, kMillimetre,
     "PROJ cs2cs +proj=eqc +R=6378137 (the spherical EPSG:32662)"},
};

TEST(MpxcsPublishedValues, ConvertsLikeThePublishedExamples) {
    mpxcs_test::expect_conversions(kPublished);
}

TEST(MpxcsPublishedValues, GeocentricTargetPrintsXyz) {
    // PROJ cs2cs +proj=geocent +datum=WGS84.
    auto run = run_mpxcs(mpxcs_test::bundled_db_option() + " WGS84,GEODETIC WGS84,GEOCENTRIC",
                         "2.35 48.85 100\n");
    ASSERT_EQ(run.status, 0) << run.err;
    auto numbers = numbers_of(run.out);
    ASSERT_EQ(numbers.size(), 3u) << run.out;
    EXPECT_NEAR(numbers[0], 4201539.3976, kMillimetre);
    EXPECT_NEAR(numbers[1], 172423.8334, kMillimetre);
    EXPECT_NEAR(numbers[2], 4779673.6995, kMillimetre);
}

TEST(MpxcsPublishedValues, InverseOptionRoundTripsTheSampleSurvey) {
    std::string systems = mpxcs_test::bundled_db_option() + " -d 10 ED50,UTM31N WGS84,GEODETIC ";
    auto forward = run_mpxcs(systems + MPX_SOURCE_DIR "data/samples/utm31n_ed50.txt", "");
    ASSERT_EQ(forward.status, 0) << forward.err;
    auto back = run_mpxcs(systems + "-I", forward.out);
    ASSERT_EQ(back.status, 0) << back.err;
    auto lines = back.out_lines();
    std::ifstream sample(MPX_SOURCE_DIR "data/samples/utm31n_ed50.txt");
    std::size_t points = 0;
    std::size_t index = 0;
    for (std::string line; std::getline(sample, line); ++index) {
        ASSERT_LT(index, lines.size());
        if (line.empty() || line[0] == '#') {
            EXPECT_EQ(lines[index], line);
            continue;
        }
        auto expected = numbers_of(line);
        auto got = numbers_of(lines[index]);
        ASSERT_GE(got.size(), 2u) << lines[index];
        // A translation-only change inverts exactly: only rounding is left.
        EXPECT_NEAR(got[0], expected[0], kMillimetre) << line;
        EXPECT_NEAR(got[1], expected[1], kMillimetre) << line;
        EXPECT_NEAR(got[2], expected[2], kMillimetre) << line;
        EXPECT_NE(lines[index].find(line.substr(line.find_last_of(' '))), std::string::npos);
        ++points;
    }
    EXPECT_EQ(points, 7u);
}

} // namespace
