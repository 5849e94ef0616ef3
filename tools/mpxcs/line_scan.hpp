// Splits one input line into its coordinates and the text around them, in
// the manner of the cs2cs family of tools: columns x y [z] separated by
// blanks and tabs, or by commas only (CSV); whatever follows them is passed
// through. Geodetic degrees may be written in degrees, minutes and seconds
// (3d30'15.2"E).
#pragma once

#include <cstddef>
#include <string_view>

namespace mpxcs {

enum class LineKind {
    Blank,           // empty or only blanks: copied unchanged
    Comment,         // first non-blank is the comment character: copied
    Point,           // x and y (and z) parsed
    Malformed,       // the first two columns are not both numbers
    NotFinite,       // a coordinate is NaN or infinite
    MixedSeparators, // blanks and commas between numbers: a decimal comma?
    LatitudeRange,   // a geodetic latitude beyond the poles
    Hemisphere,      // N or S on a longitude, E or W on a latitude
};

struct ScanRules {
    char comment = '#';
    bool dms = false;          // geodetic degrees in: DMS and N/S/E/W accepted
    bool swap = false;         // latitude first in the input (-r)
    double max_latitude = 0.0; // above 0: geodetic input, |latitude| limit
};

struct ScannedLine {
    LineKind kind = LineKind::Blank;
    double xyz[3] = {0.0, 0.0, 0.0}; // x (longitude) first, whatever the input order
    bool has_z = false;
    bool csv = false; // the coordinates are separated by commas
    // line[0, echo_end) holds the coordinate columns; line[rest_begin, end)
    // is the pass-through text (it keeps its leading separator).
    std::size_t echo_end = 0;
    std::size_t rest_begin = 0;
};

// `line` comes without its newline; a carriage return stays in the rest.
ScannedLine scan_line(std::string_view line, const ScanRules &rules);
inline ScannedLine scan_line(std::string_view line, char comment) {
    ScanRules rules;
    rules.comment = comment;
    return scan_line(line, rules);
}

// A geodetic angle in degrees from cs2cs's notation: [+-]D[dM'[S"]][NSEW],
// or a plain number with a hemisphere letter. hemisphere receives the
// letter in upper case, or 0. False when the text is not such an angle.
bool parse_dms(std::string_view text, double &degrees, char &hemisphere);

} // namespace mpxcs
