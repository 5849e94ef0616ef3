// Grid files for the tests, written with mpxgrid's writer into the test
// build folder under names unique to the running test.
#pragma once

#include "mpxgrid/grid_file_writer.hpp"
#include "mpxlib.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace grid_test {

using mpxgrid::GridHeader;

constexpr int kQuadratic = 0;
constexpr int kBilinear = 1;

// CTest sets MPX_TEST_TMP; a direct run of the test program writes to the
// same build folder rather than the working directory.
inline std::string temp_path(const std::string &name) {
    const char *dir = std::getenv("MPX_TEST_TMP");
    const auto *test = testing::UnitTest::GetInstance()->current_test_info();
    return std::string(dir ? dir : MPX_BINARY_DIR "tests") + "/" + test->test_suite_name() + "_" +
           test->name() + "_" + name;
}

inline GridHeader header(int kind, double lon_min, double lat_min, double step, int cols,
                         int rows) {
    return {kind, lon_min, lat_min, step, step, cols, rows};
}

// Cells whose first coefficient labels them: tag * 1000 + cell index.
inline std::vector<double> labelled_cells(const GridHeader &h, int tag) {
    const int per_cell = mpxgrid::coefficients_per_cell(h.kind);
    std::vector<double> values;
    for (int cell = 0; cell < h.num_cols * h.num_rows; ++cell) {
        values.push_back(tag * 1000.0 + cell);
        values.resize(values.size() + static_cast<std::size_t>(per_cell - 1), 0.0);
    }
    return values;
}

inline std::string write_grid(const std::string &name, const GridHeader &h,
                              const std::vector<double> &coefficients) {
    const std::string path = temp_path(name);
    EXPECT_TRUE(mpxgrid::write_grid_file(path, h, coefficients)) << path;
    return path;
}

inline std::string write_labelled(const std::string &name, const GridHeader &h, int tag) {
    return write_grid(name, h, labelled_cells(h, tag));
}

// The label of the cell that covers (lon, lat) in the current chain, or -1.
inline double label_at(double lon, double lat) {
    double c[18];
    return grid_access_get_block(lon, lat, c) == 0 ? c[0] : -1.0;
}

} // namespace grid_test
