// Field splitting and field conversion of database table lines.
#include "gdb/table_format.hpp"

#include "mpxlib.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

bool ends_line(char c) { return c == '\0' || c == '\n'; }
bool is_separator_blank(char c) { return c == ' ' || c == '\t'; }

} // namespace

int gdb_split_line(char *line, char **fields, int n) noexcept {
    int found = 0;
    char *p = line;
    while (found < n) {
        while (is_separator_blank(*p))
            ++p;
        if (ends_line(*p)) {
            *p = '\0';
            break;
        }
        if (*p == ',') { // an empty field
            *p = '\0';
            fields[found++] = p++;
            continue;
        }
        char *const start = p;
        fields[found++] = start;
        if (found == n) {
            p += std::strlen(p); // the last field keeps the rest of the line
            break;
        }
        while (!ends_line(*p) && *p != ',')
            ++p;
        const bool last = ends_line(*p);
        char *end = p;
        while (end > start + 1 && end[-1] == ' ')
            --end;
        *end = '\0';
        if (last) {
            *p = '\0';
            break;
        }
        ++p;
    }
    for (int i = found; i < n; ++i)
        fields[i] = p; // the text's own terminator: an empty field
    return found;
}

int gdb_convert_field(const char *text, int type, void *value, std::size_t room) noexcept {
    switch (type) {
    case MPX_TYPE_CHAR:
        std::memcpy(value, text, 1);
        return 0;
    case MPX_TYPE_DOUBLE: {
        // strtod is what atof is defined by, without its undefined behaviour
        // on a number out of range.
        const double v = std::strtod(text, nullptr);
        std::memcpy(value, &v, sizeof v);
        return 0;
    }
    case MPX_TYPE_LONG: {
        // atol's reading, clamped to the 32-bit field instead of wrapping.
        const long wide = std::strtol(text, nullptr, 10);
        const auto v = static_cast<std::int32_t>(
            std::clamp<long>(wide, std::numeric_limits<std::int32_t>::min(),
                             std::numeric_limits<std::int32_t>::max()));
        std::memcpy(value, &v, sizeof v);
        return 0;
    }
    case MPX_TYPE_STRING: {
        if (room == 0)
            return 0;
        const std::size_t length = std::min(std::strlen(text), room - 1);
        std::memcpy(value, text, length);
        static_cast<char *>(value)[length] = '\0';
        return 0;
    }
    default:
        return -1;
    }
}
