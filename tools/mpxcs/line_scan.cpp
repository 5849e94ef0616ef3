#include "line_scan.hpp"

#include <charconv>
#include <cmath>

namespace mpxcs {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

bool ends_column(char c) { return is_blank(c) || c == ','; }

// Skips the separator in front of a column: blanks with at most one comma.
std::size_t skip_separator(std::string_view line, std::size_t pos) {
    while (pos < line.size() && is_blank(line[pos]))
        ++pos;
    if (pos < line.size() && line[pos] == ',') {
        ++pos;
        while (pos < line.size() && is_blank(line[pos]))
            ++pos;
    }
    return pos;
}

struct Column {
    std::size_t end = 0; // one past the column's last character
    bool number = false;
    double value = 0.0;
};

// Reads the column starting at `pos`: a number only when the whole column
// converts (so "12abc" is not 12). A leading '+' is accepted, which
// std::from_chars alone would refuse.
Column read_column(std::string_view line, std::size_t pos) {
    Column column;
    column.end = pos;
    while (column.end < line.size() && !ends_column(line[column.end]))
        ++column.end;
    const char *first = line.data() + pos;
    const char *last = line.data() + column.end;
    bool plus = first != last && *first == '+';
    if (plus)
        ++first;
    if (first == last || (plus && *first == '-'))
        return column;
    auto [ptr, ec] = std::from_chars(first, last, column.value);
    column.number = ec == std::errc() && ptr == last;
    return column;
}

} // namespace

ScannedLine scan_line(std::string_view line, char comment) {
    ScannedLine scanned;
    std::size_t pos = 0;
    while (pos < line.size() && is_blank(line[pos]))
        ++pos;
    if (pos == line.size())
        return scanned;
    if (line[0] == comment) {
        scanned.kind = LineKind::Comment;
        return scanned;
    }
    scanned.kind = LineKind::Malformed;
    pos = skip_separator(line, 0);
    Column x = read_column(line, pos);
    Column y = read_column(line, skip_separator(line, x.end));
    scanned.echo_end = y.end;
    scanned.rest_begin = y.end;
    if (!x.number || !y.number)
        return scanned;
    scanned.xyz[0] = x.value;
    scanned.xyz[1] = y.value;
    std::size_t z_pos = skip_separator(line, y.end);
    if (z_pos < line.size()) {
        Column z = read_column(line, z_pos);
        if (z.number) {
            scanned.xyz[2] = z.value;
            scanned.has_z = true;
            scanned.echo_end = z.end;
            scanned.rest_begin = z.end;
        }
    }
    bool finite = std::isfinite(scanned.xyz[0]) && std::isfinite(scanned.xyz[1]) &&
                  std::isfinite(scanned.xyz[2]);
    scanned.kind = finite ? LineKind::Point : LineKind::NotFinite;
    return scanned;
}

} // namespace mpxcs
