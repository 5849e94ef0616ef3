// Grid files and names that must be refused cleanly, and lookups that fail
// after a file changed under the library. Run under the sanitizers, these
// also show that nothing leaks or reads past a buffer.
#include "frame/support.hpp"
#include "geodesy/grid_access_state.hpp"
#include "grid_test_support.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <string>

using namespace grid_test;

namespace {

const GridHeader kGood = header(kBilinear, 0.25, 0.5, 0.125, 2, 2);
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();

class GridBadInput : public testing::Test {
  protected:
    void TearDown() override {
        qmsc_FailAfter(-1);
        for (int id = 1; id <= kGridMaxChains; ++id)
            grid_access_close(id);
    }
};

struct BadHeader {
    const char *what;
    std::function<void(GridHeader &)> spoil;
};

TEST_F(GridBadInput, HeadersThatMakeNoSenseAreRefused) {
    const BadHeader cases[] = {
        {"kind 2", [](GridHeader &h) { h.kind = 2; }},
        {"kind -1", [](GridHeader &h) { h.kind = -1; }},
        {"zero lon step", [](GridHeader &h) { h.lon_step = 0.0; }},
        {"negative lat step", [](GridHeader &h) { h.lat_step = -0.125; }},
        {"NaN step", [](GridHeader &h) { h.lon_step = kNaN; }},
        {"infinite step", [](GridHeader &h) { h.lat_step = kInf; }},
        {"NaN origin", [](GridHeader &h) { h.lat_min = kNaN; }},
        {"infinite origin", [](GridHeader &h) { h.lon_min = -kInf; }},
        {"step whose extent overflows", [](GridHeader &h) { h.lon_step = 1e308; }},
        {"zero columns", [](GridHeader &h) { h.num_cols = 0; }},
        {"negative rows", [](GridHeader &h) { h.num_rows = -2; }},
        {"most negative columns", [](GridHeader &h) { h.num_cols = INT32_MIN; }},
        {"huge counts", [](GridHeader &h) { h.num_cols = h.num_rows = kInt32Max; }},
        {"cells beyond an int", [](GridHeader &h) { h.num_cols = 65536, h.num_rows = 32768; }},
        {"body longer than the file", [](GridHeader &h) { h.num_rows = 3; }},
    };
    const std::vector<double> body = labelled_cells(kGood, 1);
    for (const BadHeader &c : cases) {
        GridHeader h = kGood;
        c.spoil(h);
        EXPECT_EQ(grid_access_init(write_grid("bad.grd", h, body).c_str()), 0) << c.what;
        EXPECT_EQ(grid_access_inq_num_coeffs(), -1) << c.what;
    }
}

TEST_F(GridBadInput, TruncatedFilesAreRefused) {
    const std::vector<unsigned char> bytes = mpxgrid::encode_grid(kGood, labelled_cells(kGood, 1));
    const std::size_t header = mpxgrid::kHeaderSize;
    for (std::size_t size : {std::size_t{0}, header - 1, header, bytes.size() - 1}) {
        const std::string path = temp_path("cut.grd");
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char *>(bytes.data()),
                   static_cast<std::streamsize>(size));
        EXPECT_EQ(grid_access_init(path.c_str()), 0) << size << " bytes";
    }
    EXPECT_NE(grid_access_init(write_grid("whole.grd", kGood, labelled_cells(kGood, 1)).c_str()),
              0);
}

TEST_F(GridBadInput, MissingFileOrMixedKindsRefuseTheWholeChain) {
    const std::string good = write_labelled("good.grd", kGood, 1);
    const std::string other =
        write_labelled("other.grd", header(kQuadratic, 0.5, 0.5, 0.125, 1, 1), 2);
    const std::string missing = temp_path("missing.grd");
    for (const std::string &names :
         {missing, good + " " + missing, good + " " + good + " " + missing, good + " " + other,
          other + " " + good}) {
        EXPECT_EQ(grid_access_init(names.c_str()), 0) << names;
        EXPECT_EQ(grid_access_inq_num_coeffs(), -1);
    }
    // Nothing of the failed attempts holds an id.
    EXPECT_EQ(grid_access_init(good.c_str()), 1);
}

TEST_F(GridBadInput, EmptyNullAndOverlongNameListsAreHandled) {
    EXPECT_EQ(grid_access_init(nullptr), 0);
    EXPECT_EQ(grid_access_init(""), 0);
    EXPECT_EQ(grid_access_init("     "), 0);
    EXPECT_EQ(grid_access_init(std::string(5000, 'x').c_str()), 0);
    const std::string good = write_labelled("good.grd", kGood, 1);
    EXPECT_NE(grid_access_init((std::string(100000, ' ') + good + std::string(10, ' ')).c_str()),
              0);
    EXPECT_EQ(label_at(0.3, 0.55), 1000.0);
}

TEST_F(GridBadInput, MemoryShortageAtAnyAllocationRefusesTheChain) {
    const std::string good = write_labelled("good.grd", kGood, 1);
    const std::string names = good + " " + good;
    // Allocations: the copy of the names, then one record per file.
    for (long successes = 0; successes < 3; ++successes) {
        qmsc_FailAfter(successes);
        EXPECT_EQ(grid_access_init(names.c_str()), 0) << successes;
    }
    qmsc_FailAfter(-1);
    EXPECT_EQ(grid_access_init(names.c_str()), 1);
}

TEST_F(GridBadInput, CellThatCannotBeReadFailsWithoutCachingGarbage) {
    // Large enough that the cell read later lies outside any stdio buffer
    // filled while the file was checked at open.
    const GridHeader h = header(kQuadratic, 0.0, 0.0, 0.125, 10, 10);
    const std::string path = write_labelled("shrinks.grd", h, 1);
    ASSERT_NE(grid_access_init(path.c_str()), 0);
    std::filesystem::resize_file(path, mpxgrid::kHeaderSize + 144);
    EXPECT_EQ(label_at(0.0625, 0.0625), 1000.0);
    EXPECT_EQ(label_at(0.0625, 0.5625), -1.0);
    EXPECT_EQ(grid_cache_count(), 1);
    const mpx_grid_change change{grid_current_id(), 0, 18};
    const mpx_ellipsoid e{6378137.0, 0.08, 0.0};
    double lon, lat, h_out;
    EXPECT_EQ(mpx_grid_gd_to_gd(&change, &e, &e, 0.0625, 0.5625, 12.0, &lon, &lat, &h_out), -1);
    EXPECT_EQ(lon, 0.0625);
    EXPECT_EQ(lat, 0.5625);
    EXPECT_EQ(h_out, 12.0);
}

TEST_F(GridBadInput, NonFinitePointsAreOutsideEveryFile) {
    ASSERT_NE(grid_access_init(write_labelled("good.grd", kGood, 1).c_str()), 0);
    const double points[][2] = {{kNaN, 0.55},  {0.3, kNaN}, {kInf, 0.55},
                                {-kInf, 0.55}, {0.3, kInf}, {0.3, -kInf}};
    for (const auto &p : points)
        EXPECT_EQ(label_at(p[0], p[1]), -1.0) << p[0] << " " << p[1];
}

TEST_F(GridBadInput, NullArgumentsAreRefused) {
    ASSERT_NE(grid_access_init(write_labelled("good.grd", kGood, 1).c_str()), 0);
    EXPECT_EQ(grid_access_get_block(0.3, 0.55, nullptr), -1);
    double c[18];
    EXPECT_EQ(gridi_read_data_block(nullptr, 0, nullptr), -1);
    EXPECT_EQ(gridi_copy_data_block(kBilinear, nullptr, c), -1);
}

} // namespace
