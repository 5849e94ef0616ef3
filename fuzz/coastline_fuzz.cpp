// The coastline file of mpxplot: one input is one file. A file that reads
// gives polylines of finite points within the ranges the reader promises;
// one that does not gives a message naming the file.
#include "fuzz_files.hpp"
#include "mpxplot/coastline.hpp"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string path = fuzz::temp_dir() + "coastline.txt";
    fuzz::write_file(path, data, size);
    std::vector<mpxplot::Path> paths;
    std::string error = mpxplot::read_coastline(path, paths);
    if (!error.empty()) {
        if (error.rfind(path, 0) != 0)
            std::abort();
        return 0;
    }
    for (const mpxplot::Path &line : paths) {
        if (line.empty())
            std::abort();
        for (const mpxplot::LonLat &p : line)
            if (!std::isfinite(p.lon) || !(std::fabs(p.lat) <= 90.0) ||
                !(std::fabs(p.lon) <= 360.0))
                std::abort();
    }
    return 0;
}
