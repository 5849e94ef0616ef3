// Grid correction files: the record of one open file, the cell-cache entry
// and the operations on the file format. Shared by the grid access layer
// and the grid datum change; not part of the public interface.
//
// Format (every number little-endian; doubles IEEE 754 binary64; integers
// 32-bit two's complement; angles in radians):
//   header, 44 bytes: int32 kind (0: quadratic cells of 18 coefficients,
//   1: bilinear cells of 8), double lon_min, lat_min, lon_step, lat_step,
//   int32 num_cols, num_rows;
//   body: num_cols x num_rows cells, southernmost row first, each row from
//   west to east, a cell being its coefficients as doubles in index order.
#pragma once

#include "frame/support.hpp"
#include "mpxlib.h"

#include <cstddef>

constexpr int kGridKindQuadratic = 0;
constexpr int kGridKindBilinear = 1;
constexpr int kGridQuadraticCoeffs = 18;
constexpr int kGridBilinearCoeffs = 8;
constexpr std::size_t kGridHeaderSize = 44;

// One open grid file, a link of its chain.
struct mpx_grid_file {
    qfio_handle file;
    int kind;
    int cell_size; // bytes per cell record
    double west, east, south, north;
    double lon_step, lat_step;
    int num_cols, num_rows;
    mpx_grid_file *next; // next file of the same chain, or null
};

// One cached cell. A bilinear cell occupies slots 0-3 and 6-9, where the
// quadratic layout keeps the x, y and xy terms of the two polynomials.
struct mpx_grid_cell {
    const mpx_grid_file *file;
    int cell_index;
    double slots[MPX_GRID_MAX_COEFFS];
    mpx_grid_cell *next; // toward the least recently used entry
};

// Opens a grid file and checks its header against its size. Null when the
// file cannot be opened, is truncated, or describes a grid that makes no
// sense (unknown kind, non-positive or non-finite steps or origin, counts
// that are not positive or whose body could not be addressed), or when
// memory is short.
mpx_grid_file *grid_file_open(const char *path) noexcept;
void grid_file_close(mpx_grid_file *grid) noexcept;

// Index of the cell holding (lon, lat), or -1 when the file does not cover
// it: west and south edges are inside, east and north edges outside.
int grid_file_cell_index(const mpx_grid_file &grid, double lon, double lat) noexcept;

// 18 for quadratic grids, 8 for bilinear ones, -1 for anything else.
int grid_kind_num_coeffs(int kind) noexcept;
