#include "grid_file_writer.hpp"

#include <bit>
#include <cstdio>
#include <memory>

namespace mpxgrid {
namespace {

void put_le(std::vector<unsigned char> &out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

void put_int32(std::vector<unsigned char> &out, std::int32_t value) {
    put_le(out, static_cast<std::uint32_t>(value), 4);
}

void put_double(std::vector<unsigned char> &out, double value) {
    put_le(out, std::bit_cast<std::uint64_t>(value), 8);
}

std::uint64_t get_le(const unsigned char *bytes, int count) {
    std::uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | bytes[i];
    return value;
}

std::int32_t get_int32(const unsigned char *bytes) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(get_le(bytes, 4)));
}

double get_double(const unsigned char *bytes) { return std::bit_cast<double>(get_le(bytes, 8)); }

} // namespace

int coefficients_per_cell(std::int32_t kind) { return kind == 0 ? 18 : kind == 1 ? 8 : 0; }

std::vector<unsigned char> encode_grid(const GridHeader &header,
                                       const std::vector<double> &coefficients) {
    std::vector<unsigned char> out;
    out.reserve(kHeaderSize + 8 * coefficients.size());
    put_int32(out, header.kind);
    for (double value : {header.lon_min, header.lat_min, header.lon_step, header.lat_step})
        put_double(out, value);
    put_int32(out, header.num_cols);
    put_int32(out, header.num_rows);
    for (double value : coefficients)
        put_double(out, value);
    return out;
}

bool write_grid_file(const std::string &path, const GridHeader &header,
                     const std::vector<double> &coefficients) {
    const std::vector<unsigned char> bytes = encode_grid(header, coefficients);
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> file(std::fopen(path.c_str(), "wb"),
                                                          std::fclose);
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    return std::fclose(file.release()) == 0 && written;
}

GridHeader decode_header(const unsigned char *bytes) {
    return {get_int32(bytes),       get_double(bytes + 4),  get_double(bytes + 12),
            get_double(bytes + 20), get_double(bytes + 28), get_int32(bytes + 36),
            get_int32(bytes + 40)};
}

std::vector<double> decode_doubles(const unsigned char *bytes, std::size_t count) {
    std::vector<double> values(count);
    for (std::size_t i = 0; i < count; ++i)
        values[i] = get_double(bytes + 8 * i);
    return values;
}

} // namespace mpxgrid
