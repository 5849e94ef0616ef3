// The national shift grids of the bundled database end to end, against
// PROJ 9.1.1's hgridshift on the same NTv2 files (cct, degrees to ten
// decimals): NTF to RGF93 (ntf_r93.gsb), DHDN to ETRS89 (BETA2007.gsb),
// NZGD49 to NZGD2000 (nzgd2kgrid0005.gsb), forward and inverse.
#include "run_mpxcs.hpp"

#include <gtest/gtest.h>

namespace {

using mpxcs_test::numbers_of;
using mpxcs_test::run_mpxcs;

// A millimetre is about 1e-8 degrees; PROJ's values are printed to 1e-10.
constexpr double kMillimetreInDegrees = 1e-8;

struct Shift {
    const char *source, *target, *input;
    double lon, lat;
};

const Shift kShifts[] = {
    {"NTF,GEODETIC", "RGF93,GEODETIC", "2.35 48.85", 2.3492955937, 48.8499335626},
    {"NTF,GEODETIC", "RGF93,GEODETIC", "-4.5 48.4", -4.5009704569, 48.3999169900},
    {"NTF,GEODETIC", "RGF93,GEODETIC", "9.45 42.7", 9.4496095667, 42.7000708953},
    {"RGF93,GEODETIC", "NTF,GEODETIC", "2.3492955937 48.8499335626", 2.35, 48.85},
    {"DHDN,GEODETIC", "ETRS89,GEODETIC", "13.4 52.5", 13.3982568056, 52.4985944130},
    {"DHDN,GEODETIC", "ETRS89,GEODETIC", "8.0 50.0", 7.9990979839, 49.9988477525},
    {"ETRS89,GEODETIC", "DHDN,GEODETIC", "13.3986 52.4990", 13.4003432599, 52.5004056327},
    {"NZGD49,GEODETIC", "NZGD2000,GEODETIC", "174.78 -41.3", 174.7801903202, -41.2982759371},
    {"NZGD49,GEODETIC", "NZGD2000,GEODETIC", "170.5 -45.87", 170.5000980184, -45.8683809399},
    {"NZGD2000,GEODETIC", "NZGD49,GEODETIC", "174.78 -41.3", 174.7798097232, -41.3017240000},
};

TEST(NationalGrids, ShiftLikeTheNtv2Files) {
    for (const Shift &s : kShifts) {
        SCOPED_TRACE(std::string(s.source) + " -> " + s.target + ": " + s.input);
        const auto run =
            run_mpxcs(mpxcs_test::bundled_db_option() + " -d 11 " + s.source + " " + s.target,
                      std::string(s.input) + "\n");
        ASSERT_EQ(run.status, 0) << run.err;
        const auto numbers = numbers_of(run.out);
        ASSERT_GE(numbers.size(), 2u) << run.out;
        EXPECT_NEAR(numbers[0], s.lon, kMillimetreInDegrees);
        EXPECT_NEAR(numbers[1], s.lat, kMillimetreInDegrees);
    }
}

// Outside the grid the change fails; it never falls back to another change.
TEST(NationalGrids, PointOutsideTheGridFails) {
    const auto run = run_mpxcs(mpxcs_test::bundled_db_option() + " NTF,GEODETIC RGF93,GEODETIC",
                               "20 48\n2.35 48.85\n");
    EXPECT_EQ(run.status, 2);
    const auto lines = run.out_lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "*\t*");
    EXPECT_NE(run.err.find("-:1:"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("grids/ntf_r93.grd"), std::string::npos) << run.err;
}

} // namespace
