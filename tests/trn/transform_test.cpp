// The point pipeline: the worked examples of data/worked_examples.txt, the
// longitude window, projections on either end, failures, arrays.
#include "trn/trn_internal.hpp"
#include "trn_support.hpp"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>
#include <vector>

namespace trn_test {
namespace {

using TransformTest = TrnTest;

TEST_F(TransformTest, MatchesWorkedExamplesUnitsAndGridShifts) {
    std::ifstream file(MPX_SOURCE_DIR "tests/trn/data/worked_examples.txt");
    ASSERT_TRUE(file);
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        SCOPED_TRACE(line);
        std::replace(line.begin(), line.end(), '|', ' ');
        std::istringstream fields(line);
        std::string datum[2], projection[2], units[2];
        Point in{}, expected{};
        double tolerance = 0, height_tolerance = 0;
        fields >> datum[0] >> projection[0] >> units[0] >> datum[1] >> projection[1] >> units[1];
        fields >> in.x >> in.y >> in.z >> expected.x >> expected.y >> expected.z >> tolerance >>
            height_tolerance;
        ASSERT_TRUE(fields);
        const int source = locked(datum[0].c_str(), projection[0].c_str(), units[0].c_str());
        const int target = locked(datum[1].c_str(), projection[1].c_str(), units[1].c_str());
        select(source, target);
        Point out{};
        ASSERT_EQ(transform(in, out), 0);
        EXPECT_NEAR(out.x, expected.x, tolerance);
        EXPECT_NEAR(out.y, expected.y, tolerance);
        EXPECT_NEAR(out.z, expected.z, height_tolerance);
        EXPECT_EQ(take_lines(), Lines{});
        mpx_delete_coord_sys(&source);
        mpx_delete_coord_sys(&target);
    }
}

// Into "probe" with "long_cut" 0 the window is [0, 2 pi]; the probe hands the
// longitude on unchanged, so the output shows what reached the projection.
TEST_F(TransformTest, WrapModeMovesLongitudesIntoTheWindowAndRejectModeRefuses) {
    select(locked("WGS84", "GEODETIC"), locked("WGS84", "CUT0"));
    const double lon[] = {-10, 730, -370, 0, 1e6, -1e6}, reaches[] = {350, 10, 350, 0, 280, 80};
    for (int i = 0; i < 6; ++i) {
        Point out{};
        ASSERT_EQ(transform({lon[i], 10, 0}, out), 0) << lon[i];
        EXPECT_NEAR(out.x, radians(reaches[i]), 1e-9) << lon[i];
    }
    // Reject mode refuses silently and stops an array.
    const int reject = MPX_ROBUST_REJECT;
    ASSERT_EQ(mpx_mod_trans_mode(&reject), 0);
    for (Point p : {Point{10, 91, 0}, Point{10, -91, 0}, Point{-10, 10, 0}, Point{361, 10, 0}}) {
        Point out{7, 8, 9};
        EXPECT_EQ(transform(p, out), 1);
        EXPECT_TRUE(out.x == 7 && out.y == 8 && out.z == 9);
    }
    EXPECT_EQ(take_lines(), Lines{});
    // An array stops at the first rejected point; it may be transformed in
    // place; a count below 1 does nothing.
    double points[] = {10, 10, 0, 10, 91, 0, 20, 20, 0};
    for (int n : {0, -1, std::numeric_limits<int>::min()})
        EXPECT_EQ(mpx_trans_array(&n, nullptr, points), 0);
    const int n = 3;
    EXPECT_EQ(mpx_trans_array(&n, points, points), -1);
    EXPECT_EQ(take_lines(), Lines{"S3:(mpx_trans_array) bad transformation"});
    EXPECT_NEAR(points[0], radians(10), 1e-12);
    EXPECT_EQ(std::vector<double>(points + 3, points + 9),
              (std::vector<double>{10, 91, 0, 20, 20, 0}));
    EXPECT_EQ(mpx_trans_polyline(nullptr, nullptr, nullptr), -1);
    EXPECT_EQ(take_lines(), Lines{"S3:function mpx_trans_polyline is NOT implemented"});
}

TEST_F(TransformTest, ProjectedToProjectedRunsBackwardDatumChangeForward) {
    // The first worked example; "proj_a" and "proj_b" exchange the
    // coordinates, so their radians stand as (latitude, longitude).
    select(locked("WGS72", "PA"), locked("WGS84", "PB"));
    mpx_inq_trans_status();
    Point out{};
    testing::internal::CaptureStdout();
    ASSERT_EQ(transform({radians(55), radians(4), 0}, out), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "\n proj_a_backward() called "
              "\n test message = <proj_a test message>, tid = 7 "
              "\n CALLED proj_b_forward() "
              "\n test message = <proj_b test message>");
    EXPECT_NEAR(out.x, radians(55.000025), 5e-9); // 0.001"
    EXPECT_NEAR(out.y, radians(4.000153888888889), 5e-9);
    EXPECT_NEAR(out.z, 3.22, 0.005);
}

TEST_F(TransformTest, FailuresLeaveTheOutputsAndAreReported) {
    const int geodetic = locked("WGS84", "GEODETIC", "radians");
    const int cut = locked("WGS84", "CUT0");
    const int nad27 = locked("NAD27", "GEODETIC"), nad83 = locked("NAD83", "GEODETIC");
    // A record type the geodesy layer refuses makes every change fail.
    const int broken = locked("WGS72", "CUT0");
    select(broken, cut);
    ASSERT_EQ(mpx_inq_trans_status(), 0);
    static_cast<mpx_bw_params *>(trn_current()->change_data)->type = 9;
    const double nan = std::nan(""), inf = std::numeric_limits<double>::infinity();
    const Lines projection_error{"S3:(mpx_transform) transformation error"};
    const Lines not_finite{"S3:(mpx_transform) coordinate is not a finite number"};
    struct Case {
        int source, target;
        Point in;
        int result;
        Lines lines;
    };
    for (const Case &c : {
             Case{geodetic, cut, {1.0, kProbeLatLimit + 0.01, 0}, 1, projection_error},
             Case{cut, geodetic, {kProbeEastLimit + 1, 0.5, 0}, 2, projection_error},
             Case{geodetic, cut, {nan, 1, 0}, -1, not_finite},
             Case{cut, geodetic, {1, 1, -inf}, -1, not_finite},
             // The datum change fails after a failing backward: -1 wins.
             Case{broken, cut, {kProbeEastLimit + 1, 0.5, 0}, -1, {"S3:datum conversion error"}},
             // Off the grid: the report names the grid files.
             Case{
                 nad27,
                 nad83,
                 {0, 0, 0},
                 -1,
                 {"S1:outside the grid or no inverse: nad_shift.grd", "S3:datum conversion error"}},
         }) {
        select(c.source, c.target);
        Point out{7, 8, 9};
        EXPECT_EQ(transform(c.in, out), c.result) << c.in.x << " " << c.in.y << " " << c.in.z;
        EXPECT_TRUE(out.x == 7 && out.y == 8 && out.z == 9);
        EXPECT_EQ(take_lines(), c.lines);
    }
}

} // namespace
} // namespace trn_test
