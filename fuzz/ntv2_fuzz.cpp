// NTv2 shift grids as mpxgrid reads them: one input is one file. The reader
// must either say what is wrong or hand back sub-grids whose node arrays
// match their extent, with finite steps and shifts, and parents that are
// all in the file.
#include "mpxgrid/ntv2_reader.hpp"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::vector<unsigned char> bytes(data, data + size);
    std::string error;
    const std::optional<mpxgrid::Ntv2File> file = mpxgrid::parse_ntv2(bytes, error);
    if (!file) {
        check(!error.empty());
        return 0;
    }
    check(!file->subgrids.empty());
    std::set<std::string> names;
    for (const mpxgrid::Ntv2Subgrid &g : file->subgrids)
        names.insert(g.name);
    for (const mpxgrid::Ntv2Subgrid &g : file->subgrids) {
        check(g.rows >= 2 && g.cols >= 2);
        const std::size_t nodes =
            static_cast<std::size_t>(g.rows) * static_cast<std::size_t>(g.cols);
        check(g.lat_shift.size() == nodes && g.lon_shift.size() == nodes);
        // Every node was read from the input: 16 bytes each.
        check(nodes * 16 <= size);
        for (const double v : {g.south, g.north, g.east, g.west, g.lat_step, g.lon_step})
            check(std::isfinite(v));
        check(g.lat_step > 0 && g.lon_step > 0 && g.north > g.south && g.west > g.east);
        for (std::size_t i = 0; i < nodes; ++i)
            check(std::isfinite(g.lat_shift[i]) && std::isfinite(g.lon_shift[i]));
        check(g.parent == "NONE" || names.count(g.parent) == 1);
    }
    return 0;
}
