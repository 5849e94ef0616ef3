#include "line_scan.hpp"

#include <charconv>
#include <cmath>
#include <utility>

namespace mpxcs {
namespace {

constexpr double kMinutesPerDegree = 60.0;
constexpr double kSecondsPerDegree = 3600.0;

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

bool ends_column(char c) { return is_blank(c) || c == ','; }

struct Separator {
    std::size_t end = 0;
    bool comma = false;
};

// Skips the separator in front of a column: blanks with at most one comma.
Separator skip_separator(std::string_view line, std::size_t pos) {
    Separator separator;
    while (pos < line.size() && is_blank(line[pos]))
        ++pos;
    if (pos < line.size() && line[pos] == ',') {
        separator.comma = true;
        ++pos;
        while (pos < line.size() && is_blank(line[pos]))
            ++pos;
    }
    separator.end = pos;
    return separator;
}

// A number filling all of [first, last); a leading '+' is accepted, which
// std::from_chars alone would refuse.
bool read_number(const char *first, const char *last, double &value) {
    bool plus = first != last && *first == '+';
    if (plus)
        ++first;
    if (first == last || (plus && *first == '-'))
        return false;
    auto [ptr, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && ptr == last;
}

struct Column {
    std::size_t end = 0; // one past the column's last character
    bool number = false;
    double value = 0.0;
    char hemisphere = 0;
};

// Reads the column starting at `pos`: a number only when the whole column
// converts (so "12abc" is not 12).
Column read_column(std::string_view line, std::size_t pos, bool dms) {
    Column column;
    // The common case in one pass: a plain number that ends the column.
    const char *line_end = line.data() + line.size();
    const char *start = line.data() + pos;
    if (start != line_end && *start != '+') {
        auto [ptr, ec] = std::from_chars(start, line_end, column.value);
        if (ec == std::errc() && ptr != start && (ptr == line_end || ends_column(*ptr))) {
            column.end = static_cast<std::size_t>(ptr - line.data());
            column.number = true;
            return column;
        }
    }
    column.end = pos;
    while (column.end < line.size() && !ends_column(line[column.end]))
        ++column.end;
    const char *first = line.data() + pos;
    const char *last = line.data() + column.end;
    column.number = read_number(first, last, column.value);
    if (!column.number && dms)
        column.number = parse_dms(std::string_view(first, static_cast<std::size_t>(last - first)),
                                  column.value, column.hemisphere);
    return column;
}

// Reads an unsigned number at the front of `text` and removes it.
bool take_number(std::string_view &text, double &value) {
    const char *first = text.data();
    const char *last = first + text.size();
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr == first || *first == '-' || !std::isfinite(value))
        return false;
    text.remove_prefix(static_cast<std::size_t>(ptr - first));
    return true;
}

bool take(std::string_view &text, char c) {
    if (text.empty() || text.front() != c)
        return false;
    text.remove_prefix(1);
    return true;
}

bool fits(char hemisphere, bool latitude) {
    if (hemisphere == 0)
        return true;
    return latitude ? hemisphere == 'N' || hemisphere == 'S'
                    : hemisphere == 'E' || hemisphere == 'W';
}

} // namespace

bool parse_dms(std::string_view text, double &degrees, char &hemisphere) {
    hemisphere = 0;
    bool negative = take(text, '-');
    if (!negative)
        take(text, '+');
    if (!text.empty()) {
        char last = static_cast<char>(text.back() & ~0x20); // upper case
        if (last == 'N' || last == 'S' || last == 'E' || last == 'W') {
            hemisphere = last;
            text.remove_suffix(1);
        }
    }
    double d = 0.0, m = 0.0, s = 0.0;
    if (!take_number(text, d))
        return false;
    if (take(text, 'd') || take(text, 'D')) {
        if (!text.empty() && take_number(text, m) && !take(text, '\''))
            return false;
        if (!text.empty() && take_number(text, s) && !take(text, '"'))
            return false;
    }
    if (!text.empty() || m >= kMinutesPerDegree || s >= kMinutesPerDegree)
        return false;
    // A sign and a hemisphere together would contradict or repeat.
    if (negative && hemisphere != 0)
        return false;
    degrees = d + m / kMinutesPerDegree + s / kSecondsPerDegree;
    if (negative || hemisphere == 'S' || hemisphere == 'W')
        degrees = -degrees;
    return true;
}

ScannedLine scan_line(std::string_view line, const ScanRules &rules) {
    ScannedLine scanned;
    std::size_t pos = 0;
    while (pos < line.size() && is_blank(line[pos]))
        ++pos;
    if (pos == line.size())
        return scanned;
    if (line[pos] == rules.comment) {
        scanned.kind = LineKind::Comment;
        return scanned;
    }
    scanned.kind = LineKind::Malformed;
    Separator lead = skip_separator(line, 0);
    Column x = read_column(line, lead.end, rules.dms);
    Separator between = skip_separator(line, x.end);
    Column y = read_column(line, between.end, rules.dms);
    scanned.echo_end = y.end;
    scanned.rest_begin = y.end;
    if (!x.number || !y.number)
        return scanned;
    scanned.csv = between.comma;
    scanned.xyz[0] = x.value;
    scanned.xyz[1] = y.value;
    Separator after = skip_separator(line, y.end);
    if (after.end < line.size()) {
        Column z = read_column(line, after.end, false);
        if (z.number) {
            // "3,5 45,25": blanks and commas both between numbers.
            if (after.comma != between.comma) {
                scanned.kind = LineKind::MixedSeparators;
                return scanned;
            }
            scanned.xyz[2] = z.value;
            scanned.has_z = true;
            scanned.echo_end = z.end;
            scanned.rest_begin = z.end;
            Separator next = skip_separator(line, z.end);
            if (next.comma != between.comma && next.end < line.size() &&
                read_column(line, next.end, false).number) {
                scanned.kind = LineKind::MixedSeparators;
                return scanned;
            }
        }
    }
    if (rules.swap) {
        std::swap(scanned.xyz[0], scanned.xyz[1]);
        std::swap(x.hemisphere, y.hemisphere);
    }
    if (!fits(x.hemisphere, false) || !fits(y.hemisphere, true)) {
        scanned.kind = LineKind::Hemisphere;
        return scanned;
    }
    bool finite = std::isfinite(scanned.xyz[0]) && std::isfinite(scanned.xyz[1]) &&
                  std::isfinite(scanned.xyz[2]);
    if (!finite) {
        scanned.kind = LineKind::NotFinite;
        return scanned;
    }
    bool beyond_pole = rules.max_latitude > 0.0 && std::fabs(scanned.xyz[1]) > rules.max_latitude;
    scanned.kind = beyond_pole ? LineKind::LatitudeRange : LineKind::Point;
    return scanned;
}

} // namespace mpxcs
