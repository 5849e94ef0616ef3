#include "coastline.hpp"

#include <cmath>
#include <cstdlib>
#include <fstream>

namespace mpxplot {

std::string read_coastline(const std::string &file_name, std::vector<Path> &paths) {
    std::ifstream file(file_name);
    if (!file)
        return "cannot open coastline file " + file_name;
    paths.assign(1, Path());
    std::string line;
    for (long number = 1; std::getline(file, line); ++number) {
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] == '>') {
            if (!paths.back().empty())
                paths.emplace_back();
            continue;
        }
        const char *text = line.c_str();
        char *end = nullptr;
        double lon = std::strtod(text, &end);
        const char *rest = end;
        double lat = std::strtod(rest, &end);
        bool blank_tail = true;
        for (const char *c = end; *c != '\0'; ++c)
            blank_tail = blank_tail && (*c == ' ' || *c == '\t' || *c == '\r');
        if (rest == text || end == rest || !blank_tail || !std::isfinite(lon) ||
            !(std::fabs(lat) <= 90.0) || !(std::fabs(lon) <= 360.0))
            return file_name + ":" + std::to_string(number) + ": not \"longitude latitude\"";
        paths.back().push_back({lon, lat});
    }
    if (paths.back().empty())
        paths.pop_back();
    return {};
}

} // namespace mpxplot
