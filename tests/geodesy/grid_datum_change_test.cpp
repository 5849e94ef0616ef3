// The grid datum change: polynomials forward, their inversion, failures.
#include "geodesy/grid_access_state.hpp"
#include "grid_test_support.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace grid_test;

namespace {

constexpr double kTolerance = 1.7444444444444445e-09; // of the inverse iteration
const mpx_ellipsoid kGreenwich{6378137.0, 0.0818, 0.0};

// One cell over lon 0.25-0.5, lat 0.5-0.75, near the identity.
const GridHeader kQuadraticCell = header(kQuadratic, 0.25, 0.5, 0.25, 1, 1);
const GridHeader kBilinearCell = header(kBilinear, 0.25, 0.5, 0.25, 1, 1);
const std::vector<double> kQuadraticCoeffs = {1e-4,  1.0,  2e-4, 3e-4, 4e-4, 5e-4, // longitude
                                              -1e-4, 6e-4, 1.0,  7e-4, 8e-4, 9e-4, // latitude
                                              10,    20,   30,   40,   50,   60};  // height
const std::vector<double> kBilinearCoeffs = {1e-4, 1.0, 2e-4, 3e-4, -1e-4, 6e-4, 1.0, 7e-4};

class GridDatumChange : public testing::Test {
  protected:
    void TearDown() override {
        for (int id = 1; id <= kGridMaxChains; ++id)
            grid_access_close(id);
    }
    mpx_grid_change open(const GridHeader &h, const std::vector<double> &coefficients,
                         int inverse = 0) {
        const int id = grid_access_init(write_grid("cell.grd", h, coefficients).c_str());
        EXPECT_NE(id, 0);
        return {id, inverse, grid_access_inq_num_coeffs()};
    }
};

struct Point {
    double lon, lat, h;
};

int change(const mpx_grid_change &g, Point in, Point &out, const mpx_ellipsoid &source = kGreenwich,
           const mpx_ellipsoid &target = kGreenwich) {
    return mpx_grid_gd_to_gd(&g, &source, &target, in.lon, in.lat, in.h, &out.lon, &out.lat,
                             &out.h);
}

void expect_handed_back(const mpx_grid_change &g, Point in) {
    Point out{-9.0, -9.0, -9.0};
    EXPECT_EQ(change(g, in, out), -1);
    EXPECT_EQ(out.lon, in.lon);
    EXPECT_EQ(out.lat, in.lat);
    EXPECT_EQ(out.h, in.h);
}

// Expected values worked by hand from the coefficients at (0.3, 0.6).
TEST_F(GridDatumChange, QuadraticCellGivesAllThreePolynomials) {
    const mpx_grid_change g = open(kQuadraticCell, kQuadraticCoeffs);
    ASSERT_EQ(g.num_coeffs, 18);
    for (double h_in : {0.0, 1234.0}) {
        Point out{};
        ASSERT_EQ(change(g, {0.3, 0.6, h_in}, out), 0);
        EXPECT_NEAR(out.lon, 0.30049, 1e-15);
        EXPECT_NEAR(out.lat, 0.600602, 1e-15);
        EXPECT_NEAR(out.h, 67.3, 1e-12); // whatever the input height
    }
}

TEST_F(GridDatumChange, BilinearCellPassesHeightThrough) {
    const mpx_grid_change g = open(kBilinearCell, kBilinearCoeffs);
    ASSERT_EQ(g.num_coeffs, 8);
    Point out{};
    ASSERT_EQ(change(g, {0.3, 0.6, 55.5}, out), 0);
    EXPECT_NEAR(out.lon, 0.300274, 1e-15);
    EXPECT_NEAR(out.lat, 0.600206, 1e-15);
    EXPECT_EQ(out.h, 55.5);
}

TEST_F(GridDatumChange, PrimeMeridiansApplyAtLookupAndEvaluation) {
    const mpx_grid_change g = open(kBilinearCell, kBilinearCoeffs);
    const mpx_ellipsoid source{kGreenwich.radius, kGreenwich.eccentricity, 0.1};
    const mpx_ellipsoid target{kGreenwich.radius, kGreenwich.eccentricity, 0.02};
    Point out{};
    // 0.2 lies west of the cell, but 0.2 + 0.1 is inside it.
    ASSERT_EQ(change(g, {0.2, 0.6, 0.0}, out, source, target), 0);
    EXPECT_NEAR(out.lon, 0.300274 - 0.02, 1e-15);
    EXPECT_NEAR(out.lat, 0.600206, 1e-15);
    // 0.45 lies inside, but 0.45 + 0.1 is east of the cell.
    EXPECT_EQ(change(g, {0.45, 0.6, 0.0}, out), 0);
    EXPECT_EQ(change(g, {0.45, 0.6, 0.0}, out, source, target), -1);
}

TEST_F(GridDatumChange, InverseUndoesForwardWithinTheTolerance) {
    for (const auto &[h, coefficients] :
         {std::pair{kQuadraticCell, kQuadraticCoeffs}, std::pair{kBilinearCell, kBilinearCoeffs}}) {
        const mpx_grid_change forward = open(h, coefficients);
        const mpx_grid_change inverse{forward.grid_id, 1, forward.num_coeffs};
        for (const Point p :
             {Point{0.26, 0.51, 3.0}, Point{0.3, 0.6, 3.0}, Point{0.49, 0.74, 3.0}}) {
            Point there{}, back{};
            ASSERT_EQ(change(forward, p, there), 0);
            ASSERT_EQ(change(inverse, there, back), 0);
            EXPECT_NEAR(back.lon, p.lon, kTolerance);
            EXPECT_NEAR(back.lat, p.lat, kTolerance);
            // The quadratic height is that of the solved point.
            if (forward.num_coeffs == 18)
                EXPECT_NEAR(back.h, there.h, 1e-6);
            else
                EXPECT_EQ(back.h, there.h);
        }
    }
}

TEST_F(GridDatumChange, InverseThatNeverSettlesFails) {
    // u' = x - 2v, v' = y - 2u: the steps double, so the 100 tests all fail.
    const mpx_grid_change swinging =
        open(kBilinearCell, {0.0, 1.0, 2.0, 0.0, 0.0, 2.0, 1.0, 0.0}, 1);
    expect_handed_back(swinging, {0.3, 0.6, 1.0});
    // A zero slope gives no start at all.
    const mpx_grid_change flat = open(kBilinearCell, {0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0}, 1);
    expect_handed_back(flat, {0.3, 0.6, 1.0});
}

TEST_F(GridDatumChange, FailuresHandTheInputsBack) {
    const mpx_grid_change g = open(kQuadraticCell, kQuadraticCoeffs);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    expect_handed_back(g, {0.1, 0.6, 7.0});  // outside
    expect_handed_back(g, {0.3, 0.75, 7.0}); // on the north edge
    expect_handed_back(g, {inf, 0.6, 7.0});
    Point out{};
    EXPECT_EQ(change(g, {nan, 0.6, 7.0}, out), -1);
    EXPECT_TRUE(std::isnan(out.lon));
    EXPECT_EQ(out.lat, 0.6);
    for (int wrong : {8, 5, 0}) // must match the file's kind
        expect_handed_back({g.grid_id, 0, wrong}, {0.3, 0.6, 7.0});
    grid_access_close(g.grid_id);
    expect_handed_back(g, {0.3, 0.6, 7.0});
}

TEST_F(GridDatumChange, OverflowingCoefficientsGiveNoPoint) {
    std::vector<double> huge = kBilinearCoeffs;
    huge[0] = std::numeric_limits<double>::max();
    huge[1] = std::numeric_limits<double>::max();
    expect_handed_back(open(kBilinearCell, huge), {0.3, 0.6, 0.0});
}

} // namespace
