// Reading NTv2 shift grids (the node grids survey agencies publish, ".gsb"):
// an overview header, then sub-grids, each a header and its nodes. Both
// byte orders are read; the order is told by the overview's first count.
//
// Layout: records of 16 bytes, an 8-character name and an 8-byte value
// (int32 and 4 bytes of padding, a double, or 8 characters). The overview
// has 11 records (NUM_OREC, NUM_SREC, NUM_FILE, GS_TYPE, VERSION, SYSTEM_F,
// SYSTEM_T, MAJOR_F, MINOR_F, MAJOR_T, MINOR_T); each sub-grid header 11
// (SUB_NAME, PARENT, CREATED, UPDATED, S_LAT, N_LAT, E_LONG, W_LONG,
// LAT_INC, LONG_INC, GS_COUNT), followed by GS_COUNT nodes of four floats
// (latitude shift, longitude shift, and their accuracies). Longitudes are
// positive west; nodes run row by row from the south, each row from east
// to west.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace mpxgrid {

struct Ntv2Subgrid {
    std::string name, parent;
    // Extent and steps in seconds of arc, longitudes positive west.
    double south = 0, north = 0, east = 0, west = 0, lat_step = 0, lon_step = 0;
    int rows = 0, cols = 0;
    // Per node, row by row from the south, each row from east to west:
    // shifts in seconds of arc, the longitude shift positive west.
    std::vector<double> lat_shift, lon_shift;
};

struct Ntv2File {
    bool big_endian = false;
    std::string from, to; // SYSTEM_F and SYSTEM_T, blanks trimmed
    std::vector<Ntv2Subgrid> subgrids;
};

// The file's contents, or nothing with `error` saying what is wrong (the
// section, the byte offset, what was expected).
std::optional<Ntv2File> parse_ntv2(const std::vector<unsigned char> &bytes, std::string &error);

} // namespace mpxgrid
