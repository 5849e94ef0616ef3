// NTv2 files as grid correction files: the reader in both byte orders, the
// cells against NTv2's bilinear interpolation of the nodes, the chain
// order of nested sub-grids, damaged files, and the grid inverse where the
// solution lies in a neighbouring cell.
#include "ntv2_builder.hpp"

#include "mpxgrid/ntv2_grid.hpp"
#include "mpxlib.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

using ntv2_test::Builder;
using ntv2_test::Subgrid;
namespace fs = std::filesystem;

constexpr double kSecond = 3.14159265358979323846 / 648000.0;
constexpr double kExact = 1e-12; // radians

// Smooth, unequal shifts of a few seconds (lat, lon positive west).
std::pair<double, double> smooth_shift(double lat, double lon_west) {
    return {1.5 + std::sin(lat / 5000.0) + 1e-4 * lon_west / 60.0,
            -2.0 + std::cos(lon_west / 7000.0) * std::sin(lat / 9000.0)};
}

// A parent over 2 to 4 degrees east, 46 to 48 north (6-minute nodes), and a
// child with 1-minute nodes over part of it.
std::vector<Subgrid> nested() {
    return {{"PARENT", "NONE", 46 * 3600.0, 48 * 3600.0, -4 * 3600.0, -2 * 3600.0, 360, 360,
             smooth_shift},
            {"CHILD", "PARENT", 46.5 * 3600.0, 47 * 3600.0, -3 * 3600.0, -2.5 * 3600.0, 60, 60,
             [](double lat, double lon) {
                 auto [a, b] = smooth_shift(lat, lon);
                 return std::pair{a + 0.25, b - 0.5};
             }}};
}

mpxgrid::Ntv2File parsed(const std::vector<unsigned char> &bytes) {
    std::string error;
    auto file = mpxgrid::parse_ntv2(bytes, error);
    EXPECT_TRUE(file) << error;
    return file ? *file : mpxgrid::Ntv2File{};
}

fs::path scratch(const char *name) {
    const char *dir = std::getenv("MPX_TEST_TMP"); // unset when run directly
    const fs::path folder = fs::path(dir ? dir : fs::temp_directory_path().string()) / name;
    fs::create_directories(folder);
    return folder;
}

TEST(Ntv2Reader, ReadsBothByteOrdersAlike) {
    const auto little = parsed(Builder(false).file(nested()));
    const auto big = parsed(Builder(true).file(nested()));
    EXPECT_FALSE(little.big_endian);
    EXPECT_TRUE(big.big_endian);
    ASSERT_EQ(little.subgrids.size(), 2u);
    ASSERT_EQ(big.subgrids.size(), 2u);
    EXPECT_EQ(little.from, "FROM");
    for (std::size_t i = 0; i < 2; ++i) {
        const auto &a = little.subgrids[i], &b = big.subgrids[i];
        EXPECT_EQ(a.name, b.name);
        EXPECT_EQ(a.parent, b.parent);
        EXPECT_EQ(a.rows, b.rows);
        EXPECT_EQ(a.cols, b.cols);
        EXPECT_EQ(a.lat_shift, b.lat_shift);
        EXPECT_EQ(a.lon_shift, b.lon_shift);
    }
    EXPECT_EQ(little.subgrids[0].rows, 21);
    EXPECT_EQ(little.subgrids[0].cols, 21);
}

// Every cell's polynomials against the nodes they were made from: exact at
// the four corners, NTv2's bilinear interpolation inside.
TEST(Ntv2Grid, CellsReproduceTheNodesAndTheirBilinearInterpolation) {
    const auto file = parsed(Builder(false).file(nested()));
    const auto chain = mpxgrid::ntv2_chain(file);
    ASSERT_EQ(chain.size(), 2u);
    for (const auto &link : chain) {
        const auto &g = *std::find_if(file.subgrids.begin(), file.subgrids.end(),
                                      [&](const auto &s) { return s.name == link.subgrid; });
        const auto &h = link.grid.header;
        ASSERT_EQ(h.num_cols, g.cols - 1);
        ASSERT_EQ(h.num_rows, g.rows - 1);
        // Shift of node (row, column from the west) in radians, east-positive.
        const auto node = [&](int r, int c) {
            const std::size_t n = static_cast<std::size_t>(r) * g.cols + (g.cols - 1 - c);
            return std::pair{-g.lon_shift[n] * kSecond, g.lat_shift[n] * kSecond};
        };
        for (int r = 0; r < h.num_rows; ++r) {
            for (int c = 0; c < h.num_cols; ++c) {
                const double *k = &link.grid.coefficients[(r * h.num_cols + c) * 8u];
                const auto shift_at = [&](double u, double v) {
                    const double x = h.lon_min + (c + u) * h.lon_step;
                    const double y = h.lat_min + (r + v) * h.lat_step;
                    return std::pair{k[0] + k[1] * x + k[2] * y + k[3] * x * y - x,
                                     k[4] + k[5] * x + k[6] * y + k[7] * x * y - y};
                };
                const auto s00 = node(r, c), s10 = node(r, c + 1), s01 = node(r + 1, c),
                           s11 = node(r + 1, c + 1);
                for (const auto [u, v] : {std::pair{0.0, 0.0},
                                          {1.0, 0.0},
                                          {0.0, 1.0},
                                          {1.0, 1.0},
                                          {0.3, 0.8},
                                          {0.71, 0.05}}) {
                    const auto [dlon, dlat] = shift_at(u, v);
                    const auto bilinear = [&](double a, double b, double p, double q) {
                        return a + (b - a) * u + (p - a) * v + (q - b - p + a) * u * v;
                    };
                    EXPECT_NEAR(dlon, bilinear(s00.first, s10.first, s01.first, s11.first), kExact);
                    EXPECT_NEAR(dlat, bilinear(s00.second, s10.second, s01.second, s11.second),
                                kExact);
                }
            }
        }
    }
}

// The child comes first, so the library takes the child's shifts inside it
// and the parent's elsewhere.
TEST(Ntv2Grid, NestedSubgridsChainDensestFirst) {
    const fs::path folder = scratch("ntv2_chain");
    std::ofstream(folder / "nested.gsb", std::ios::binary)
        .write(reinterpret_cast<const char *>(Builder(true).file(nested()).data()),
               static_cast<std::streamsize>(Builder(true).file(nested()).size()));
    const std::string out = (folder / "nested.grd").string();
    ASSERT_EQ(mpxgrid::run_from_ntv2((folder / "nested.gsb").string(), out), 0);
    const std::string second = (folder / "nested_2.grd").string();
    ASSERT_TRUE(fs::exists(out) && fs::exists(second));
    const int id = grid_access_init((out + " " + second).c_str());
    ASSERT_NE(id, 0);
    const mpx_grid_change change{id, 0, 8};
    const mpx_ellipsoid e{6378137.0, 0.08181919084262149, 0.0};
    const auto shift_seconds = [&](double lon_deg, double lat_deg) {
        const double lon = lon_deg * 3600 * kSecond, lat = lat_deg * 3600 * kSecond;
        double lon2 = 0, lat2 = 0, h = 0;
        EXPECT_EQ(mpx_grid_gd_to_gd(&change, &e, &e, lon, lat, 0, &lon2, &lat2, &h), 0);
        return std::pair{(lon2 - lon) / kSecond, (lat2 - lat) / kSecond};
    };
    // A node of the child (2.75 E, 46.75 N), and one of the parent only.
    const auto child = shift_seconds(2.75, 46.75);
    const auto [lat_c, lon_c] = smooth_shift(46.75 * 3600, -2.75 * 3600);
    EXPECT_NEAR(child.first, -(lon_c - 0.5), 1e-6);
    EXPECT_NEAR(child.second, lat_c + 0.25, 1e-6);
    const auto parent = shift_seconds(3.5, 47.5);
    const auto [lat_p, lon_p] = smooth_shift(47.5 * 3600, -3.5 * 3600);
    EXPECT_NEAR(parent.first, -lon_p, 1e-6);
    EXPECT_NEAR(parent.second, lat_p, 1e-6);
    grid_access_close(id);
}

struct Damage {
    const char *what;
    std::function<std::vector<unsigned char>()> make;
    const char *message;
};

std::vector<unsigned char> one_grid_with(const std::function<void(Subgrid &)> &change,
                                         bool big = false) {
    std::vector<Subgrid> grids = nested();
    grids.resize(1);
    change(grids[0]);
    return Builder(big).file(grids);
}

std::vector<unsigned char> patched(std::vector<unsigned char> bytes, std::size_t at,
                                   const char *text) {
    std::memcpy(bytes.data() + at, text, std::strlen(text));
    return bytes;
}

TEST(Ntv2Reader, RefusesDamagedFilesWithTheFault) {
    const auto good = Builder(false).file(nested());
    const Damage cases[] = {
        {"a few bytes", [] { return std::vector<unsigned char>(10, 0); },
         "too short for an NTv2 overview header (10 bytes"},
        {"not NTv2", [] { return std::vector<unsigned char>(400, 'x'); },
         "NUM_OREC is not 11 in either byte order"},
        {"wrong record name", [&] { return patched(good, 176 + 4 * 16, "S_LATX  "); },
         "record S_LAT    expected at byte 240, found 'S_LATX  '"},
        {"zero step", [] { return one_grid_with([](Subgrid &g) { g.lat_step = 0; }); },
         "LAT_INC and LONG_INC must be positive"},
        {"negative step", [] { return one_grid_with([](Subgrid &g) { g.lon_step = -360; }); },
         "LAT_INC and LONG_INC must be positive"},
        {"extent not whole steps", [] { return one_grid_with([](Subgrid &g) { g.north += 100; }); },
         "whole number of steps"},
        {"parent missing", [] { return one_grid_with([](Subgrid &g) { g.parent = "GHOST"; }); },
         "names parent 'GHOST', which is not in the file"},
        {"negative sub-grid count",
         [] {
             Builder b(false);
             auto bytes = b.file(nested());
             bytes[40] = 0xff, bytes[41] = 0xff, bytes[42] = 0xff, bytes[43] = 0xff;
             return bytes;
         },
         "NUM_FILE is -1: no sub-grids"},
        {"more sub-grids than the file holds",
         [] {
             auto bytes = Builder(false).file(nested());
             bytes[42] = 0x10;
             return bytes;
         },
         "more sub-grids than the"},
        {"GS_COUNT off by one",
         [] {
             Builder b(false);
             b.overview(1);
             b.subgrid(nested()[0], 440);
             return b.bytes();
         },
         "GS_COUNT is 440, the extent holds 441 nodes"},
        {"claims more nodes than it holds",
         [] {
             auto bytes = one_grid_with([](Subgrid &) {});
             bytes.resize(bytes.size() - 16 - 100 * 16);
             return bytes;
         },
         "truncated: 441 nodes need 7056 bytes"},
        {"byte orders mixed",
         [] {
             Builder little(false), big(true);
             little.overview(1);
             auto bytes = little.bytes();
             big.subgrid(nested()[0]);
             bytes.insert(bytes.end(), big.bytes().begin(), big.bytes().end());
             return bytes;
         },
         "sub-grid 'PARENT' at byte 176"},
        {"shift not a number",
         [] {
             return one_grid_with([](Subgrid &g) {
                 g.shift = [](double, double) { return std::pair{NAN, 0.0}; };
             });
         },
         "node 0 has a shift that is not a finite number"},
    };
    for (const Damage &d : cases) {
        std::string error;
        EXPECT_FALSE(mpxgrid::parse_ntv2(d.make(), error)) << d.what;
        EXPECT_NE(error.find(d.message), std::string::npos) << d.what << ": " << error;
    }
}

TEST(Ntv2Reader, RefusesTheFileCutAnywhere) {
    const auto good = Builder(true).file(nested());
    for (std::size_t size = 0; size + 16 < good.size(); size += (size < 800 ? 8 : 997)) {
        std::string error;
        const std::vector<unsigned char> cut(good.begin(), good.begin() + size);
        EXPECT_FALSE(mpxgrid::parse_ntv2(cut, error)) << size;
        EXPECT_FALSE(error.empty()) << size;
    }
}

TEST(MpxgridFromNtv2, WritesNothingForADamagedFile) {
    const fs::path folder = scratch("ntv2_damaged");
    auto bytes = Builder(false).file(nested());
    bytes.resize(bytes.size() - 200);
    std::ofstream(folder / "cut.gsb", std::ios::binary)
        .write(reinterpret_cast<const char *>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    const fs::path out = folder / "cut.grd";
    fs::remove(out);
    EXPECT_EQ(mpxgrid::run_from_ntv2((folder / "cut.gsb").string(), out.string()), 1);
    EXPECT_FALSE(fs::exists(out));
    EXPECT_FALSE(fs::exists(folder / "cut_2.grd"));
    EXPECT_EQ(mpxgrid::run_from_ntv2((folder / "missing.gsb").string(), out.string()), 1);
}

// Two bilinear cells of 0.01 rad whose shift (0.004 rad east) carries
// points near the shared edge into the neighbour: the inverse must undo
// the forward change there too, not extrapolate the input point's cell.
TEST(GridInverse, SolvesInTheCellThatHoldsTheSolution) {
    const fs::path path = scratch("grid_inverse") / "two_cells.grd";
    mpxgrid::GridHeader h{1, 0.0, 0.0, 0.01, 0.01, 2, 1};
    // West cell: lon' = lon + 0.004 + 0.05 (lon - 0); east cell continues
    // the shift from the shared edge with another slope (continuous).
    const std::vector<double> cells = {
        0.004, 1.05, 0, 0, 0, 0, 1, 0, 0.004 + 0.0005 - 0.01 * 1.2 + 0.01, 1.2, 0, 0, 0, 0, 1, 0};
    ASSERT_TRUE(mpxgrid::write_grid_file(path.string(), h, cells));
    const int id = grid_access_init(path.string().c_str());
    ASSERT_NE(id, 0);
    const mpx_ellipsoid e{6378137.0, 0.0, 0.0};
    const mpx_grid_change forward{id, 0, 8}, inverse{id, 1, 8};
    for (double lon : {0.0055, 0.0059, 0.0062, 0.0095}) {
        double x = 0, y = 0, z = 0, back = 0, lat = 0;
        ASSERT_EQ(mpx_grid_gd_to_gd(&forward, &e, &e, lon, 0.005, 0, &x, &y, &z), 0);
        ASSERT_EQ(mpx_grid_gd_to_gd(&inverse, &e, &e, x, y, 0, &back, &lat, &z), 0) << lon;
        EXPECT_NEAR(back, lon, 1e-11) << "from " << x;
        EXPECT_NEAR(lat, 0.005, 1e-11);
    }
    grid_access_close(id);
}

} // namespace
