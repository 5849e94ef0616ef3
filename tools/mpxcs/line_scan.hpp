// Splits one input line into its coordinates and the text around them, in
// the manner of the cs2cs family of tools: columns x y [z] separated by
// blanks, tabs or a comma; whatever follows them is passed through.
#pragma once

#include <cstddef>
#include <string_view>

namespace mpxcs {

enum class LineKind {
    Blank,     // empty or only blanks: copied unchanged
    Comment,   // starts with the comment character: copied unchanged
    Point,     // x and y (and z) parsed
    Malformed, // the first two columns are not both numbers
    NotFinite, // a coordinate is NaN or infinite
};

struct ScannedLine {
    LineKind kind = LineKind::Blank;
    double xyz[3] = {0.0, 0.0, 0.0};
    bool has_z = false;
    // line[0, echo_end) holds the coordinate columns; line[rest_begin, end)
    // is the pass-through text (it keeps its leading separator).
    std::size_t echo_end = 0;
    std::size_t rest_begin = 0;
};

// `line` comes without its newline; a carriage return stays in the rest.
ScannedLine scan_line(std::string_view line, char comment);

} // namespace mpxcs
