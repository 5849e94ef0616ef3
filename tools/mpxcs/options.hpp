// The command line of mpxcs.
#pragma once

#include <string>
#include <vector>

namespace mpxcs {

struct Options {
    std::string source, target; // DATUM,PROJECTION[,UNITS]
    std::vector<std::string> files;
    bool inverse = false;
    bool echo = false;
    int decimals = -1;  // -1: chosen by the target's unit
    std::string format; // printf-style; empty: decimals
    std::string error_text = "*\t*";
    char comment = '#';
    std::string list; // "datums", "projections", "changes" or empty
    std::string db_dir;
    bool help = false;
    bool version = false;
    bool info = false;             // describe the systems instead of converting
    bool trace = false;            // every pipeline step of each point on stderr
    std::vector<std::string> sets; // PARAM=VALUE for a "mod_" projection
    bool swap_input = false;       // -r: latitude then longitude in
    bool swap_output = false;      // -s: latitude then longitude out
    int dms_decimals = -1;         // -w N: degrees-minutes-seconds output
    bool header = false;           // first line of each input copied through
    bool keep_height = false;      // z copied unchanged
    bool flush = false;            // every line answered as it is read
    bool verbose = false;          // the library's chain under each failure
};

// Empty error text when the command line is valid.
struct ParsedOptions {
    Options options;
    std::string error;
};

ParsedOptions parse_options(int argc, char **argv);

extern const char kUsage[];

} // namespace mpxcs
