// mpxgrid from-ntv2: an NTv2 shift grid as grid correction files. One
// sub-grid gives OUTPUT itself; several give OUTPUT for the densest and
// OUTPUT with "_2", "_3", ... before its extension for the next ones, in
// chain order. Nothing is left behind when any step fails: every file is
// written under a temporary name and renamed only when all are complete.
#include "mpxgrid.hpp"
#include "ntv2_grid.hpp"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace mpxgrid {
namespace {

constexpr double kArcSecond = kDegree / 3600.0;

std::string chain_member_name(const std::string &output, std::size_t index) {
    if (index == 0)
        return output;
    const std::filesystem::path p(output);
    return (p.parent_path() /
            (p.stem().string() + "_" + std::to_string(index + 1) + p.extension().string()))
        .string();
}

bool write_all(const std::vector<ChainedGrid> &chain, const std::vector<std::string> &names) {
    std::vector<std::string> written;
    bool ok = true;
    for (std::size_t i = 0; ok && i < chain.size(); ++i) {
        const std::string temporary = names[i] + ".part";
        written.push_back(temporary);
        ok = write_grid_file(temporary, chain[i].grid.header, chain[i].grid.coefficients);
    }
    std::error_code ec;
    for (std::size_t i = 0; ok && i < chain.size(); ++i) {
        std::filesystem::rename(written[i], names[i], ec);
        ok = !ec;
    }
    if (!ok)
        for (const std::string &temporary : written)
            std::filesystem::remove(temporary, ec);
    return ok;
}

} // namespace

int run_from_ntv2(const std::string &input, const std::string &output) {
    std::ifstream in(input, std::ios::binary);
    std::error_code ec;
    if (!in || std::filesystem::is_directory(input, ec)) {
        std::fprintf(stderr, "mpxgrid: %s: cannot read the file\n", input.c_str());
        return 1;
    }
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), {}};
    std::string error;
    const auto file = parse_ntv2(bytes, error);
    if (!file) {
        std::fprintf(stderr, "mpxgrid: %s: %s\n", input.c_str(), error.c_str());
        return 1;
    }
    const std::vector<ChainedGrid> chain = ntv2_chain(*file);
    std::vector<std::string> names;
    for (std::size_t i = 0; i < chain.size(); ++i)
        names.push_back(chain_member_name(output, i));
    if (!write_all(chain, names)) {
        std::fprintf(stderr, "mpxgrid: %s: cannot write the grid files\n", output.c_str());
        return 1;
    }
    std::printf("%s -> %s (%s to %s, %s byte order, %zu sub-grid%s)\n", input.c_str(),
                output.c_str(), file->from.c_str(), file->to.c_str(),
                file->big_endian ? "big-endian" : "little-endian", chain.size(),
                chain.size() == 1 ? "" : "s");
    for (std::size_t i = 0; i < chain.size(); ++i) {
        const GridHeader &h = chain[i].grid.header;
        double lon = 0, lat = 0;
        const double shift = largest_shift(chain[i].grid, &lon, &lat);
        std::printf("  %zu. %s: sub-grid %s, lon %.6f to %.6f, lat %.6f to %.6f deg, %d x %d "
                    "cells, largest shift %.4f\" at %.4f %.4f\n",
                    i + 1, names[i].c_str(), chain[i].subgrid.c_str(), h.lon_min / kDegree,
                    (h.lon_min + h.num_cols * h.lon_step) / kDegree, h.lat_min / kDegree,
                    (h.lat_min + h.num_rows * h.lat_step) / kDegree, h.num_cols, h.num_rows,
                    shift / kArcSecond, lon / kDegree, lat / kDegree);
    }
    std::printf("chain: ");
    for (std::size_t i = 0; i < names.size(); ++i)
        std::printf("%s%s", i ? " " : "",
                    std::filesystem::path(names[i]).filename().string().c_str());
    std::printf("\n");
    return 0;
}

} // namespace mpxgrid
