// Chains of grid files, the cell of a point, the cell cache and closing.
#include "geodesy/grid_access_state.hpp"
#include "grid_test_support.hpp"

#include <gtest/gtest.h>

#include <string>

using namespace grid_test;

namespace {

// Each test leaves no chain open, so that the tests also hold when they run
// in one process.
class GridAccess : public testing::Test {
  protected:
    void TearDown() override {
        for (int id = 1; id <= kGridMaxChains; ++id)
            grid_access_close(id);
    }
};

// Two 2 x 2 files side by side, cells 0.125 rad wide (binary fractions, so
// edges are exact): A over lon 0.25-0.5, B over 0.5-0.75, both over lat
// 0.5-0.75.
const GridHeader kWest = header(kBilinear, 0.25, 0.5, 0.125, 2, 2);
const GridHeader kEast = header(kBilinear, 0.5, 0.5, 0.125, 2, 2);
constexpr double kJustBelow = 1e-12;

TEST_F(GridAccess, WestAndSouthEdgesInsideEastAndNorthOutside) {
    const int id = grid_access_init(write_labelled("a.grd", kWest, 1).c_str());
    ASSERT_NE(id, 0);
    EXPECT_EQ(label_at(0.25, 0.5), 1000.0);
    EXPECT_EQ(label_at(0.375, 0.625), 1003.0); // a corner belongs to the cell north-east of it
    EXPECT_EQ(label_at(0.5 - kJustBelow, 0.75 - kJustBelow), 1003.0);
    EXPECT_EQ(label_at(0.5, 0.5), -1.0);
    EXPECT_EQ(label_at(0.25, 0.75), -1.0);
    EXPECT_EQ(label_at(0.25 - kJustBelow, 0.6), -1.0);
    EXPECT_EQ(label_at(0.3, 0.5 - kJustBelow), -1.0);
}

TEST_F(GridAccess, NextFileOfChainTakesPointsBeyondTheFirst) {
    const std::string names =
        write_labelled("a.grd", kWest, 1) + " " + write_labelled("b.grd", kEast, 2);
    ASSERT_NE(grid_access_init(names.c_str()), 0);
    EXPECT_EQ(label_at(0.5 - kJustBelow, 0.5), 1001.0);
    EXPECT_EQ(label_at(0.5, 0.5), 2000.0);
    EXPECT_EQ(label_at(0.7, 0.7), 2003.0);
    EXPECT_EQ(label_at(0.75, 0.5), -1.0);
}

TEST_F(GridAccess, FirstNamedFileWinsWhereFilesOverlap) {
    const GridHeader wide = header(kBilinear, 0.25, 0.5, 0.25, 2, 1); // lon 0.25-0.75
    const std::string a = write_labelled("a.grd", kEast, 1);
    const std::string b = write_labelled("b.grd", wide, 2);
    ASSERT_NE(grid_access_init((a + " " + b).c_str()), 0);
    EXPECT_EQ(label_at(0.55, 0.55), 1000.0);
    EXPECT_EQ(label_at(0.3, 0.55), 2000.0);
    ASSERT_NE(grid_access_init((b + " " + a).c_str()), 0);
    EXPECT_EQ(label_at(0.55, 0.55), 2001.0);
}

TEST_F(GridAccess, RunsOfBlanksSeparateLikeOne) {
    const std::string a = write_labelled("a.grd", kWest, 1);
    const std::string b = write_labelled("b.grd", kEast, 2);
    ASSERT_NE(grid_access_init(("   " + a + "     " + b + "  ").c_str()), 0);
    EXPECT_EQ(label_at(0.3, 0.55), 1000.0);
    EXPECT_EQ(label_at(0.55, 0.55), 2000.0);
}

TEST_F(GridAccess, CellsComeOutInFileOrderForBothKinds) {
    for (int kind : {kQuadratic, kBilinear}) {
        SCOPED_TRACE(kind);
        const GridHeader h = header(kind, 0.0, 0.0, 0.5, 1, 1);
        const int count = kind == kQuadratic ? 18 : 8;
        std::vector<double> values;
        for (int i = 0; i < count; ++i)
            values.push_back(0.25 * (i + 1));
        ASSERT_NE(grid_access_init(write_grid("g.grd", h, values).c_str()), 0);
        EXPECT_EQ(grid_access_inq_num_coeffs(), count);
        double out[18];
        std::fill(std::begin(out), std::end(out), -7.0);
        ASSERT_EQ(grid_access_get_block(0.1, 0.1, out), 0);
        for (int i = 0; i < 18; ++i)
            EXPECT_EQ(out[i], i < count ? values[static_cast<std::size_t>(i)] : -7.0) << i;
    }
}

TEST_F(GridAccess, CurrentChainDecidesLookupsAndCoefficientCount) {
    const int quadratic = grid_access_init(
        write_labelled("q.grd", header(kQuadratic, 0.25, 0.5, 0.125, 2, 2), 1).c_str());
    const int bilinear = grid_access_init(write_labelled("b.grd", kEast, 2).c_str());
    ASSERT_NE(quadratic, 0);
    ASSERT_NE(bilinear, 0);
    EXPECT_NE(quadratic, bilinear);
    EXPECT_EQ(grid_access_inq_num_coeffs(), 8); // the newest chain is current
    EXPECT_EQ(label_at(0.3, 0.55), -1.0);
    EXPECT_EQ(grid_access_set_current_id(quadratic), 0);
    EXPECT_EQ(grid_access_inq_num_coeffs(), 18);
    EXPECT_EQ(label_at(0.3, 0.55), 1000.0);
    for (int unknown : {0, -3, 65, 1 << 30}) {
        grid_access_set_current_id(unknown);
        EXPECT_EQ(grid_access_inq_num_coeffs(), -1);
        EXPECT_EQ(label_at(0.3, 0.55), -1.0);
    }
}

TEST_F(GridAccess, HundredAndFirstCellEvictsLeastRecentlyUsedOnly) {
    const int id = grid_access_init(
        write_labelled("big.grd", header(kBilinear, 0.0, 0.0, 0.01, 11, 10), 1).c_str());
    ASSERT_NE(id, 0);
    const mpx_grid_file *grid = grid_chain_head(id);
    auto touch = [](int cell) {
        return label_at(0.01 * (cell % 11) + 0.005, 0.01 * (cell / 11) + 0.005);
    };
    for (int cell = 0; cell < kGridCacheCapacity; ++cell)
        ASSERT_EQ(touch(cell), 1000.0 + cell);
    EXPECT_EQ(grid_cache_count(), 100);
    EXPECT_EQ(grid_cache_rank(grid, 99), 0);
    EXPECT_EQ(grid_cache_rank(grid, 0), 99);
    touch(0); // used again: moves to the front
    EXPECT_EQ(grid_cache_rank(grid, 0), 0);
    EXPECT_EQ(touch(100), 1100.0);
    EXPECT_EQ(grid_cache_count(), 100);
    EXPECT_EQ(grid_cache_rank(grid, 1), -1); // now the least recently used
    EXPECT_EQ(grid_cache_rank(grid, 0), 1);
    EXPECT_EQ(grid_cache_rank(grid, 100), 0);
    EXPECT_EQ(touch(1), 1001.0); // read again from the file
    EXPECT_EQ(grid_cache_rank(grid, 2), -1);
}

TEST_F(GridAccess, SameCellIndexInTwoFilesIsCachedApart) {
    const std::string names =
        write_labelled("a.grd", kWest, 1) + " " + write_labelled("b.grd", kEast, 2);
    const int id = grid_access_init(names.c_str());
    ASSERT_NE(id, 0);
    const mpx_grid_file *a = grid_chain_head(id);
    EXPECT_EQ(label_at(0.3, 0.55), 1000.0);
    EXPECT_EQ(label_at(0.55, 0.55), 2000.0);
    EXPECT_EQ(label_at(0.3, 0.55), 1000.0);
    EXPECT_EQ(grid_cache_count(), 2);
    EXPECT_EQ(grid_cache_rank(a, 0), 0);
    EXPECT_EQ(grid_cache_rank(a->next, 0), 1);
}

TEST_F(GridAccess, CloseReleasesChainCellsAndId) {
    const int kept = grid_access_init(write_labelled("a.grd", kWest, 1).c_str());
    label_at(0.3, 0.55);
    const int closed = grid_access_init(write_labelled("b.grd", kEast, 2).c_str());
    label_at(0.55, 0.55);
    label_at(0.7, 0.7);
    EXPECT_EQ(grid_cache_count(), 3);
    grid_access_close(closed);
    EXPECT_EQ(grid_access_inq_num_coeffs(), -1); // it was current
    EXPECT_EQ(grid_cache_count(), 1);
    EXPECT_EQ(grid_chain_head(closed), nullptr);
    grid_access_close(closed); // twice, and id 0: nothing happens
    grid_access_close(0);
    grid_access_set_current_id(kept);
    EXPECT_EQ(label_at(0.3, 0.55), 1000.0);
    EXPECT_EQ(grid_access_init(write_labelled("c.grd", kEast, 3).c_str()), closed);
}

TEST_F(GridAccess, FullChainTableRefusesUntilAChainCloses) {
    const std::string path = write_labelled("a.grd", kWest, 1);
    for (int expected = 1; expected <= kGridMaxChains; ++expected)
        ASSERT_EQ(grid_access_init(path.c_str()), expected);
    EXPECT_EQ(grid_access_init(path.c_str()), 0);
    EXPECT_EQ(grid_access_inq_num_coeffs(), -1);
    grid_access_close(17);
    EXPECT_EQ(grid_access_init(path.c_str()), 17);
}

} // namespace
