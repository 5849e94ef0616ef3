#include "fuzz_files.hpp"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

const std::string &temp_dir() {
    static const std::string dir = [] {
        const char *base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/mpxfuzz.XXXXXX";
        if (!mkdtemp(pattern.data()))
            std::abort();
        static std::string made = pattern;
        std::atexit([] { std::remove(made.c_str()); });
        return pattern + "/";
    }();
    return dir;
}

void write_file(const std::string &path, const std::uint8_t *data, std::size_t size) {
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
        std::abort();
}

} // namespace fuzz
