// Grid chains, the cell of a point, the cell cache, the grid datum change, and
// bad files and names refused cleanly (and, under the sanitizers, safely).
#include "frame/support.hpp"
#include "geodesy/grid_access_state.hpp"
#include "mpxgrid/grid_file_writer.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <limits>

namespace {

using mpxgrid::GridHeader;
using Point = std::array<double, 3>;

constexpr int kQuadratic = 0, kBilinear = 1;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
// 2 x 2 cells of 0.125 rad (exact edges): west over lon 0.25-0.5, east over
// lon 0.5-0.75, both over lat 0.5-0.75.
constexpr GridHeader kWest{kBilinear, 0.25, 0.5, 0.125, 0.125, 2, 2};
constexpr GridHeader kEast{kBilinear, 0.5, 0.5, 0.125, 0.125, 2, 2};

double distance(const Point &a, const Point &b) {
    return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
}
// The first coefficient of the current chain's cell at (lon, lat), or -1.
double label_at(double lon, double lat) {
    double c[MPX_GRID_MAX_COEFFS];
    return grid_access_get_block(lon, lat, c) == 0 ? c[0] : -1.0;
}

class Grid : public testing::Test {
  protected:
    // Closes all chains, so that the tests also hold in one process.
    void TearDown() override {
        for (int id = 1; id <= kGridMaxChains; ++id)
            grid_access_close(id);
    }
    // The n-th file a test writes, in the build folder; unless given its
    // coefficients, each cell's first one labels it n * 1000 + cell index.
    std::string write_grid(const GridHeader &h, std::vector<double> coefficients = {}) {
        const int n = ++files_written_;
        const auto per_cell = std::size_t(mpxgrid::coefficients_per_cell(h.kind));
        if (coefficients.empty())
            for (int cell = 0; cell < h.num_cols * h.num_rows; ++cell) {
                coefficients.push_back(n * 1000.0 + cell);
                coefficients.resize(coefficients.size() + per_cell - 1);
            }
        const char *dir = std::getenv("MPX_TEST_TMP"); // unset when run directly
        const std::string path = std::string(dir ? dir : MPX_BINARY_DIR "tests") + "/" +
                                 testing::UnitTest::GetInstance()->current_test_info()->name() +
                                 "_" + std::to_string(n) + ".grd";
        EXPECT_TRUE(mpxgrid::write_grid_file(path, h, coefficients)) << path;
        return path;
    }
    int open_grid(const GridHeader &h, const std::vector<double> &coefficients = {}) {
        return grid_access_init(write_grid(h, coefficients).c_str());
    }
    int files_written_ = 0;
};

TEST_F(Grid, PointFallsInTheFirstFileThatHoldsItWestAndSouthEdgesInside) {
    const std::string west = write_grid(kWest), east = write_grid(kEast);
    ASSERT_NE(grid_access_init(("  " + west + "    " + east + " ").c_str()), 0);
    const double e = 1e-12; // just below an edge
    const double cases[][3] = {
        // lon, lat, label; cell 0 of both files is looked up, twice for the first
        {0.25, 0.5, 1000},   {0.375, 0.625, 1003}, {0.5 - e, 0.75 - e, 1003}, {0.5, 0.5, 2000},
        {0.3, 0.55, 1000},   {0.7, 0.7, 2003},     {0.75, 0.5, -1},           {0.25, 0.75, -1},
        {0.25 - e, 0.6, -1}, {0.3, 0.5 - e, -1},   {kNaN, 0.55, -1},          {0.3, kNaN, -1},
        {kInf, 0.55, -1},    {-kInf, 0.55, -1},    {0.3, kInf, -1},           {0.3, -kInf, -1}};
    for (const auto &[lon, lat, label] : cases)
        EXPECT_EQ(label_at(lon, lat), label) << lon << " " << lat;
}

TEST_F(Grid, FirstNamedFileWinsWhereFilesOverlap) {
    const std::string wide = write_grid({kBilinear, 0.25, 0.5, 0.25, 0.25, 2, 1}); // to lon 0.75
    ASSERT_NE(grid_access_init((write_grid(kEast) + " " + wide).c_str()), 0);
    EXPECT_EQ(label_at(0.55, 0.55), 2000.0);
    EXPECT_EQ(label_at(0.3, 0.55), 1000.0);
}

TEST_F(Grid, HundredAndFirstCellEvictsTheLeastRecentlyUsedOnly) {
    const int id = open_grid({kBilinear, 0.0, 0.0, 0.01, 0.01, 11, 10});
    auto touch = [](int cell) {
        return label_at(0.01 * (cell % 11) + 0.005, 0.01 * (cell / 11) + 0.005);
    };
    for (int cell = 0; cell < kGridCacheCapacity; ++cell)
        ASSERT_EQ(touch(cell), 1000.0 + cell);
    touch(0); // used again: moves to the front and survives
    EXPECT_EQ(touch(100), 1100.0);
    EXPECT_EQ(grid_cache_count(), 100);
    EXPECT_EQ(grid_cache_rank(grid_chain_head(id), 1), -1);
    EXPECT_EQ(grid_cache_rank(grid_chain_head(id), 0), 1);
}

TEST_F(Grid, CloseReleasesCellsCurrentChainAndId) {
    const int kept = open_grid(kWest);
    label_at(0.3, 0.55);
    const int closed = open_grid(kEast);
    label_at(0.55, 0.55);
    grid_access_close(closed);
    EXPECT_EQ(grid_access_inq_num_coeffs(), -1); // it was current
    EXPECT_EQ(grid_cache_count(), 1);
    grid_access_set_current_id(kept);
    EXPECT_EQ(label_at(0.3, 0.55), 1000.0);
    EXPECT_EQ(open_grid(kEast), closed);
}

TEST_F(Grid, HeadersThatMakeNoSenseAreRefused) {
    const int most = std::numeric_limits<int>::max(); // of the 32-bit counts
    const GridHeader cases[] = {
        {2, 0.25, 0.5, 0.125, 0.125, 2, 2},       {-1, 0.25, 0.5, 0.125, 0.125, 2, 2},
        {1, 0.25, 0.5, 0.0, 0.125, 2, 2},         {1, 0.25, 0.5, 0.125, -0.125, 2, 2},
        {1, 0.25, 0.5, kNaN, 0.125, 2, 2},        {1, 0.25, 0.5, 0.125, kInf, 2, 2},
        {1, 0.25, kNaN, 0.125, 0.125, 2, 2},      {1, -kInf, 0.5, 0.125, 0.125, 2, 2},
        {1, 0.25, 0.5, 1e308, 0.125, 2, 2},       {1, 0.25, 0.5, 0.125, 0.125, 0, 2},
        {1, 0.25, 0.5, 0.125, 0.125, 2, -2},      {1, 0.25, 0.5, 0.125, 0.125, -most - 1, 2},
        {1, 0.25, 0.5, 0.125, 0.125, most, most}, {1, 0.25, 0.5, 0.125, 0.125, 65536, 32768},
        {1, 0.25, 0.5, 0.125, 0.125, 2, 3}, // a body longer than the file
    };
    for (const GridHeader &h : cases) {
        EXPECT_EQ(open_grid(h, std::vector<double>(32)), 0) << "case " << &h - cases;
        EXPECT_EQ(grid_access_inq_num_coeffs(), -1);
    }
}

TEST_F(Grid, TruncatedMissingOrMixedFilesRefuseTheWholeChain) {
    const std::string good = write_grid(kWest), cut = write_grid(kWest);
    const std::string other = write_grid({kQuadratic, 0.5, 0.5, 0.125, 0.125, 1, 1});
    for (std::uintmax_t size :
         std::initializer_list<std::uintmax_t>{0, mpxgrid::kHeaderSize - 1, mpxgrid::kHeaderSize,
                                               std::filesystem::file_size(good) - 1}) {
        std::filesystem::resize_file(cut, size);
        EXPECT_EQ(grid_access_init(cut.c_str()), 0) << size << " bytes";
    }
    for (const std::string &names : {good + ".missing", good + " " + good + " " + good + ".missing",
                                     good + " " + other, other + " " + good}) {
        EXPECT_EQ(grid_access_init(names.c_str()), 0) << names;
        EXPECT_EQ(grid_access_inq_num_coeffs(), -1);
    }
    EXPECT_EQ(grid_access_init(good.c_str()), 1); // failed attempts hold no id
}

TEST_F(Grid, EmptyNullOverlongNamesAndMemoryShortageAreRefused) {
    const std::string good = write_grid(kWest);
    for (const char *names : {(const char *)nullptr, "", "     "})
        EXPECT_EQ(grid_access_init(names), 0);
    for (long successes = 0; successes < 3; ++successes) { // the names, then a record per file
        qmsc_FailAfter(successes);
        EXPECT_EQ(grid_access_init((good + " " + good).c_str()), 0) << successes;
    }
    qmsc_FailAfter(-1);
    ASSERT_NE(grid_access_init((std::string(100000, ' ') + good + "  ").c_str()), 0);
    EXPECT_EQ(label_at(0.3, 0.55), 1000.0);
}

// The shrunk file's second cell lies beyond any stdio buffer filled at open.
TEST_F(Grid, CellThatCannotBeReadFailsWithoutCachingGarbage) {
    const std::string path = write_grid({kQuadratic, 0.0, 0.0, 0.125, 0.125, 10, 10});
    ASSERT_NE(grid_access_init(path.c_str()), 0);
    std::filesystem::resize_file(path, mpxgrid::kHeaderSize + 144);
    EXPECT_EQ(label_at(0.0625, 0.0625), 1000.0);
    EXPECT_EQ(label_at(0.0625, 0.5625), -1.0);
    EXPECT_EQ(grid_cache_count(), 1);
}

constexpr double kEpsilon = 1.7444444444444445e-09; // of the inverse iteration
// One cell over lon 0.25-0.5, lat 0.5-0.75, near the identity.
constexpr GridHeader kQuadraticCell{kQuadratic, 0.25, 0.5, 0.25, 0.25, 1, 1};
constexpr GridHeader kBilinearCell{kBilinear, 0.25, 0.5, 0.25, 0.25, 1, 1};
const std::vector<double> kQuadraticCoeffs = {1e-4,  1.0,  2e-4, 3e-4, 4e-4, 5e-4, // longitude
                                              -1e-4, 6e-4, 1.0,  7e-4, 8e-4, 9e-4, // latitude
                                              10,    20,   30,   40,   50,   60};  // height
const std::vector<double> kBilinearCoeffs = {1e-4, 1.0, 2e-4, 3e-4, -1e-4, 6e-4, 1.0, 7e-4};

int change(const mpx_grid_change &g, Point in, Point &out, double source_pm = 0.0,
           double target_pm = 0.0) {
    const mpx_ellipsoid source{6378137.0, 0.08, source_pm}, target{6378137.0, 0.08, target_pm};
    return mpx_grid_gd_to_gd(&g, &source, &target, in[0], in[1], in[2], &out[0], &out[1], &out[2]);
}

// Expected values worked by hand from the coefficients at (0.3, 0.6); the
// third row looks up and evaluates 0.2 + 0.1, inside the cell.
TEST_F(Grid, ForwardEvaluatesTheCellAtTheAbsoluteLongitude) {
    const mpx_grid_change quadratic{open_grid(kQuadraticCell, kQuadraticCoeffs), 0,
                                    grid_access_inq_num_coeffs()};
    const mpx_grid_change bilinear{open_grid(kBilinearCell, kBilinearCoeffs), 0,
                                   grid_access_inq_num_coeffs()};
    Point out[3];
    ASSERT_EQ(change(quadratic, {0.3, 0.6, 1234}, out[0]), 0);
    ASSERT_EQ(change(bilinear, {0.3, 0.6, 55.5}, out[1]), 0);
    ASSERT_EQ(change(bilinear, {0.2, 0.6, 0.0}, out[2], 0.1, 0.02), 0);
    EXPECT_LT(distance(out[0], {0.30049, 0.600602, 67.3}), 1e-12); // whatever the height
    EXPECT_LT(distance(out[1], {0.300274, 0.600206, 55.5}), 1e-12);
    EXPECT_LT(distance(out[2], {0.280274, 0.600206, 0.0}), 1e-12);
}

// In the bilinear cell (Plon = x + xy / 20 - 0.01, Plat = y) v settles first.
TEST_F(Grid, InverseUndoesForwardWithinEpsilon) {
    for (mpx_grid_change g :
         {mpx_grid_change{open_grid(kQuadraticCell, kQuadraticCoeffs), 0, 18},
          mpx_grid_change{open_grid(kBilinearCell, {-0.01, 1, 0, 0.05, 0, 0, 1, 0}), 0, 8}}) {
        for (const Point p : {Point{0.26, 0.51, 3.0}, Point{0.49, 0.74, 3.0}}) {
            Point there{}, back{};
            ASSERT_EQ(change(g, p, there), 0);
            g.inverse = 1;
            ASSERT_EQ(change(g, there, back), 0);
            g.inverse = 0;
            // The quadratic height is that of the solved point.
            EXPECT_LT(distance(back, {p[0], p[1], g.num_coeffs == 18 ? there[2] : 3.0}), kEpsilon);
        }
    }
}

TEST_F(Grid, FailuresHandTheInputsBack) {
    const int id = open_grid(kBilinearCell, kBilinearCoeffs);
    // u' = x - 2v, v' = y - 2u: the steps double, so all 100 tests fail.
    const int swinging = open_grid(kBilinearCell, {0, 1, 2, 0, 0, 2, 1, 0});
    const int flat = open_grid(kBilinearCell, {0, 0, 0, 0, 0, 0, 1, 0}); // no start
    const int overflowing = open_grid(kBilinearCell, {1e308, 1e308, 1e308, 0, 0, 0, 1, 0});
    const struct {
        mpx_grid_change g;
        Point in;
        double source_pm = 0.0;
    } cases[] = {
        {{id, 0, 8}, {0.3, 0.75, 7}},         {{id, 0, 8}, {0.45, 0.6, 7}, 0.1}, // pushed east
        {{id, 0, 8}, {std::nan(""), 0.6, 7}}, {{id, 1, 8}, {-0.3, 0.6, 7}},
        {{id, 0, 18}, {0.3, 0.6, 7}},         {{id, 0, 5}, {0.3, 0.6, 7}}, // wrong number of terms
        {{swinging, 1, 8}, {0.3, 0.6, 7}},    {{flat, 1, 8}, {0.3, 0.6, 7}},
        {{overflowing, 0, 8}, {0.3, 0.6, 7}}, {{kGridMaxChains + 1, 0, 8}, {0.3, 0.6, 7}},
    };
    for (const auto &c : cases) {
        Point out{-9.0, -9.0, -9.0};
        EXPECT_EQ(change(c.g, c.in, out, c.source_pm), -1) << "case " << &c - cases;
        EXPECT_EQ(std::memcmp(out.data(), c.in.data(), sizeof out), 0) << "case " << &c - cases;
    }
}

} // namespace
