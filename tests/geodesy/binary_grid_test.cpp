// Grid files are binary: bytes that a Windows text-mode read would change
// (CR LF pairs, a lone LF, a Ctrl-Z) come back exactly, in every cell.
#include "geodesy/grid_access_state.hpp"
#include "mpxgrid/grid_file_writer.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kBilinear = 1;
constexpr int kCoefficientsPerCell = 8;

// Bit patterns full of 0x0d 0x0a, 0x0a and 0x1a bytes, all finite doubles.
double awkward(int i) {
    const std::uint64_t patterns[] = {0x3ff00d0a0d0a1a0aULL, 0x401a0a0d1a0d0a0dULL,
                                      0xbfe01a1a0a0a0d0dULL, 0x3f0d0a1a0d0a0a1aULL};
    return std::bit_cast<double>(patterns[i % 4] + static_cast<std::uint64_t>(i / 4));
}

TEST(BinaryGrid, CarriageReturnsLineFeedsAndControlZComeBackExactly) {
    // Two cells side by side: a byte lost or gained in the first shifts the second.
    const mpxgrid::GridHeader header{kBilinear, 0.25, 0.5, 0.125, 0.125, 2, 1};
    std::vector<double> coefficients;
    for (int i = 0; i < 2 * kCoefficientsPerCell; ++i)
        coefficients.push_back(awkward(i));
    const char *dir = std::getenv("MPX_TEST_TMP"); // unset when run directly
    const std::string path = std::string(dir ? dir : MPX_BINARY_DIR "tests") + "/binary.grd";
    ASSERT_TRUE(mpxgrid::write_grid_file(path, header, coefficients));
    const int id = grid_access_init(path.c_str());
    ASSERT_NE(id, 0);
    const double points[2][2] = {{0.3, 0.55}, {0.4, 0.55}};
    for (int cell = 0; cell < 2; ++cell) {
        double c[MPX_GRID_MAX_COEFFS] = {};
        ASSERT_EQ(grid_access_get_block(points[cell][0], points[cell][1], c), 0) << cell;
        for (int i = 0; i < kCoefficientsPerCell; ++i)
            EXPECT_EQ(std::bit_cast<std::uint64_t>(c[i]),
                      std::bit_cast<std::uint64_t>(awkward(cell * kCoefficientsPerCell + i)))
                << "cell " << cell << " coefficient " << i;
    }
    grid_access_close(id);
}

} // namespace
