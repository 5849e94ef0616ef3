// Writes NTv2 files for the tests, in either byte order: an overview and
// sub-grids whose node shifts come from a function of the node's position.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace ntv2_test {

struct Subgrid {
    std::string name, parent = "NONE";
    double south, north, east, west, lat_step, lon_step; // seconds, positive west
    // Shifts (lat, lon positive west) in seconds at a node (lat, lon-west).
    std::function<std::pair<double, double>(double, double)> shift;
};

class Builder {
  public:
    explicit Builder(bool big_endian) : big_(big_endian) {}

    std::vector<unsigned char> file(const std::vector<Subgrid> &grids) {
        overview(static_cast<std::int32_t>(grids.size()));
        for (const Subgrid &g : grids)
            subgrid(g);
        text("END     ", "");
        return out_;
    }

    // Starts a new file with its overview header, for building damaged
    // files piece by piece.
    void overview(std::int32_t subgrids) {
        out_.clear();
        integer("NUM_OREC", 11);
        integer("NUM_SREC", 11);
        integer("NUM_FILE", subgrids);
        text("GS_TYPE ", "SECONDS");
        text("VERSION ", "NTv2.0");
        text("SYSTEM_F", "FROM");
        text("SYSTEM_T", "TO");
        for (const char *name : {"MAJOR_F ", "MINOR_F ", "MAJOR_T ", "MINOR_T "})
            real(name, 6378137.0);
    }

    void integer(const char *name, std::int32_t v) {
        put_name(name);
        put(static_cast<std::uint32_t>(v), 4);
        put(0, 4);
    }
    void real(const char *name, double v) {
        put_name(name);
        put(std::bit_cast<std::uint64_t>(v), 8);
    }
    void text(const char *name, const char *v) {
        put_name(name);
        put_name(v);
    }
    void node(float lat, float lon) {
        for (float v : {lat, lon, 0.0f, 0.0f})
            put(std::bit_cast<std::uint32_t>(v), 4);
    }
    void subgrid(const Subgrid &g, std::int32_t count_override = -1) {
        text("SUB_NAME", g.name.c_str());
        text("PARENT  ", g.parent.c_str());
        text("CREATED ", "");
        text("UPDATED ", "");
        real("S_LAT   ", g.south);
        real("N_LAT   ", g.north);
        real("E_LONG  ", g.east);
        real("W_LONG  ", g.west);
        real("LAT_INC ", g.lat_step);
        real("LONG_INC", g.lon_step);
        // A damaged header with steps that are not positive gets no nodes.
        const bool steps = g.lat_step > 0 && g.lon_step > 0;
        const int rows = steps ? static_cast<int>((g.north - g.south) / g.lat_step + 0.5) + 1 : 0;
        const int cols = steps ? static_cast<int>((g.west - g.east) / g.lon_step + 0.5) + 1 : 0;
        integer("GS_COUNT", count_override >= 0 ? count_override : rows * cols);
        for (int r = 0; r < rows; ++r)
            for (int j = 0; j < cols; ++j) {
                const auto [lat, lon] = g.shift(g.south + r * g.lat_step, g.east + j * g.lon_step);
                node(static_cast<float>(lat), static_cast<float>(lon));
            }
    }
    std::vector<unsigned char> &bytes() { return out_; }

  private:
    void put_name(const char *name) {
        char eight[8];
        std::memset(eight, ' ', 8);
        std::memcpy(eight, name, std::min<std::size_t>(8, std::strlen(name)));
        out_.insert(out_.end(), eight, eight + 8);
    }
    void put(std::uint64_t v, int count) {
        for (int i = 0; i < count; ++i)
            out_.push_back(static_cast<unsigned char>(v >> (8 * (big_ ? count - 1 - i : i))));
    }

    bool big_;
    std::vector<unsigned char> out_;
};

} // namespace ntv2_test
