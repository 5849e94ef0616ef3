// Reading grid files: header decoding and validation, cell lookup and cell
// reads. Numbers are assembled from their bytes, never by casting the
// buffer, so the code reads the little-endian format on any host.
#include "geodesy/grid_file.hpp"

#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>

namespace {

constexpr int kQuadraticCellSize = kGridQuadraticCoeffs * 8;
constexpr int kBilinearCellSize = kGridBilinearCoeffs * 8;
constexpr int kSeekFromStart = 0;
// Cache slot of the i-th coefficient of a cell: a bilinear cell's eight
// file values go to slots 0-3 and 6-9.
int slot_of(int kind, int i) {
    constexpr int kBilinearSlots[kGridBilinearCoeffs] = {0, 1, 2, 3, 6, 7, 8, 9};
    return kind == kGridKindBilinear ? kBilinearSlots[i] : i;
}

std::uint64_t read_le(const unsigned char *bytes, int count) {
    std::uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | bytes[i];
    return value;
}

std::int32_t read_int32(const unsigned char *bytes) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(read_le(bytes, 4)));
}

double read_double(const unsigned char *bytes) { return std::bit_cast<double>(read_le(bytes, 8)); }

struct Header {
    std::int32_t kind;
    double lon_min, lat_min, lon_step, lat_step;
    std::int32_t num_cols, num_rows;
};

Header decode_header(const unsigned char *bytes) {
    return {read_int32(bytes),       read_double(bytes + 4),  read_double(bytes + 12),
            read_double(bytes + 20), read_double(bytes + 28), read_int32(bytes + 36),
            read_int32(bytes + 40)};
}

int cell_size_of(int kind) {
    return kind == kGridKindQuadratic  ? kQuadraticCellSize
           : kind == kGridKindBilinear ? kBilinearCellSize
                                       : 0;
}

bool positive_step(double step) { return std::isfinite(step) && step > 0.0; }

// Fills the record from a header, or returns false when the header makes
// no sense. Cell indices are ints and offsets go to a seek that takes a
// long (32 bits on some hosts), so the body must be addressable by both.
bool accept_header(const Header &h, mpx_grid_file &grid, long &body_end) {
    const int cell_size = cell_size_of(h.kind);
    if (cell_size == 0 || !std::isfinite(h.lon_min) || !std::isfinite(h.lat_min) ||
        !positive_step(h.lon_step) || !positive_step(h.lat_step) || h.num_cols <= 0 ||
        h.num_rows <= 0)
        return false;
    const std::int64_t cells = std::int64_t{h.num_cols} * h.num_rows; // < 2^62
    if (cells > INT_MAX)
        return false;
    const std::int64_t end = std::int64_t{kGridHeaderSize} + cells * cell_size; // < 2^39
    if (end > LONG_MAX)
        return false;
    grid.kind = h.kind;
    grid.cell_size = cell_size;
    grid.west = h.lon_min;
    grid.south = h.lat_min;
    grid.east = h.lon_min + h.num_cols * h.lon_step;
    grid.north = h.lat_min + h.num_rows * h.lat_step;
    grid.lon_step = h.lon_step;
    grid.lat_step = h.lat_step;
    grid.num_cols = h.num_cols;
    grid.num_rows = h.num_rows;
    body_end = static_cast<long>(end);
    // A rectangle that overflows or covers nothing is no grid.
    return std::isfinite(grid.east) && std::isfinite(grid.north) && grid.east > grid.west &&
           grid.north > grid.south;
}

// True when the file holds at least `size` bytes: its last byte is readable.
bool file_reaches(qfio_handle file, long size) {
    unsigned char last;
    return qfio_CompatibleFseek(file, size - 1, kSeekFromStart) == 0 &&
           qfio_ReadSeq(file, &last, 1, 0) == 1;
}

bool read_header(mpx_grid_file &grid) {
    unsigned char bytes[kGridHeaderSize];
    long body_end = 0;
    return qfio_ReadSeq(grid.file, bytes, sizeof bytes, 0) == sizeof bytes &&
           accept_header(decode_header(bytes), grid, body_end) && file_reaches(grid.file, body_end);
}

// Index along one axis: the point is inside the rectangle, so the quotient
// is non-negative; rounding may push it to the count, hence the clamp
// (done in double so a huge quotient never overflows the int).
int axis_index(double offset, double step, int count) {
    return static_cast<int>(std::fmin(std::trunc(offset / step), count - 1.0));
}

} // namespace

mpx_grid_file *grid_file_open(const char *path) noexcept {
    auto *grid = static_cast<mpx_grid_file *>(qmsc_HeapMalloc(sizeof(mpx_grid_file)));
    if (!grid)
        return nullptr;
    *grid = {};
    grid->file = qfio_Open(path, "rb", 0);
    if (!grid->file || !read_header(*grid)) {
        grid_file_close(grid);
        return nullptr;
    }
    return grid;
}

void grid_file_close(mpx_grid_file *grid) noexcept {
    if (!grid)
        return;
    qfio_Close(grid->file, 0);
    qmsc_HeapFree(grid);
}

int grid_file_cell_index(const mpx_grid_file &grid, double lon, double lat) noexcept {
    // Written so that NaN fails every comparison and lands outside.
    if (!(lon >= grid.west && lon < grid.east && lat >= grid.south && lat < grid.north))
        return -1;
    const int row = axis_index(lat - grid.south, grid.lat_step, grid.num_rows);
    const int col = axis_index(lon - grid.west, grid.lon_step, grid.num_cols);
    return row * grid.num_cols + col; // below INT_MAX, checked at open
}

int grid_kind_num_coeffs(int kind) noexcept {
    return kind == kGridKindQuadratic  ? kGridQuadraticCoeffs
           : kind == kGridKindBilinear ? kGridBilinearCoeffs
                                       : -1;
}

// Fills the entry from the file. Unlike a plain read it returns -1 when the
// seek or the read comes up short (the file changed under us), so that no
// cell of stale or missing bytes is ever used.
extern "C" int gridi_read_data_block(mpx_grid_file *grid, int cell_index,
                                     mpx_grid_cell *entry) noexcept {
    if (!grid || !entry || cell_index < 0 ||
        std::int64_t{cell_index} >= std::int64_t{grid->num_cols} * grid->num_rows)
        return -1;
    unsigned char bytes[kQuadraticCellSize];
    const long offset = static_cast<long>(kGridHeaderSize) + long{cell_index} * grid->cell_size;
    const auto size = static_cast<std::size_t>(grid->cell_size);
    if (qfio_CompatibleFseek(grid->file, offset, kSeekFromStart) != 0 ||
        qfio_ReadSeq(grid->file, bytes, size, 0) != size)
        return -1;
    *entry = {};
    entry->file = grid;
    entry->cell_index = cell_index;
    const int count = grid_kind_num_coeffs(grid->kind);
    for (int i = 0; i < count; ++i)
        entry->slots[slot_of(grid->kind, i)] = read_double(bytes + 8 * i);
    return 0;
}

extern "C" int gridi_copy_data_block(int kind, const mpx_grid_cell *entry,
                                     double *coefficients) noexcept {
    const int count = grid_kind_num_coeffs(kind);
    if (!entry || !coefficients || count < 0)
        return -1;
    for (int i = 0; i < count; ++i)
        coefficients[i] = entry->slots[slot_of(kind, i)];
    return 0;
}
