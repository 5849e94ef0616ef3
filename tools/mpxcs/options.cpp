#include "options.hpp"

#include "number_format.hpp"

#include <charconv>
#include <string_view>

namespace mpxcs {

const char kUsage[] =
    "usage: mpxcs [options] SOURCE TARGET [FILE ...]\n"
    "       mpxcs --list datums|projections|changes\n"
    "       mpxcs --info SYSTEM [TARGET]\n"
    "\n"
    "Converts points from the coordinate system SOURCE to TARGET. A system is\n"
    "DATUM,PROJECTION[,UNITS] with names of the database; GEODETIC and GEOCENTRIC\n"
    "are built in, and geodetic units are degrees (default), radians or grads.\n"
    "Names are matched without regard to case. Reads the FILEs (or standard\n"
    "input) and writes one line per input line: columns x y [z] separated by\n"
    "blanks, or by commas only (CSV: the output uses commas too); the rest is\n"
    "passed through. Geodetic degrees may be written 3d30'15.2\"E 45d15'N.\n"
    "Input from a terminal or pipe is answered line by line.\n"
    "\n"
    "  -I          inverse: convert from TARGET to SOURCE\n"
    "  -d N        N decimals; default by unit: degrees 9, grads 9, radians 11,\n"
    "              metres (and every linear unit) 3, heights 3\n"
    "  -w N        geodetic degrees out as DMS with N decimals of seconds\n"
    "  -r          input is latitude then longitude\n"
    "  -s          output is latitude then longitude\n"
    "  -f FORMAT   printf-style format of one number, e.g. %.4f\n"
    "  -e TEXT     what a failed point prints (default: *<tab>*)\n"
    "  -E          echo the input coordinates before the output\n"
    "  -t CHAR     comment character: lines starting with it are copied\n"
    "              (default: #)\n"
    "  --header    the first line of each input is a header: copied\n"
    "  --keep-height  copy z unchanged (orthometric heights); by default z is\n"
    "              the ellipsoidal height carried through the datum change\n"
    "  --flush     write each line's answer at once, even for files\n"
    "  --verbose   show the library's chain of messages under each failure\n"
    "  --list WHAT list the database's datums, projections or datum changes\n"
    "  --info      describe SYSTEM, or the conversion from SYSTEM to TARGET\n"
    "  --trace     print every step of each point's conversion on stderr\n"
    "  --set P=V   change parameter P of a mod_ projection to V before\n"
    "              converting (repeatable; angles in radians, or degrees\n"
    "              with a trailing deg: --set centre_merid=9deg)\n"
    "  --db DIR    database directory (default: $TORVA_ORTIX_DIR, then the\n"
    "              bundled database)\n"
    "  -h, --help  this text\n"
    "  --version   the version\n"
    "\n"
    "Exit status: 0 all points converted, 1 usage or database error,\n"
    "2 some points failed.\n";

namespace {

bool parse_decimals(std::string_view text, int &decimals) {
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), decimals);
    return ec == std::errc() && ptr == text.data() + text.size() && decimals >= 0 &&
           decimals <= kMaxDecimals;
}

// Applies one option that takes a value; empty result on success.
std::string apply_valued(std::string_view name, std::string_view value, Options &options) {
    if (name == "-d") {
        if (!parse_decimals(value, options.decimals))
            return "-d needs a number of decimals from 0 to " + std::to_string(kMaxDecimals);
    } else if (name == "-f") {
        if (!is_valid_number_format(value))
            return "-f needs a format with one conversion of a number, such as %.4f";
        options.format = value;
    } else if (name == "-e") {
        options.error_text = value;
    } else if (name == "-t") {
        if (value.size() != 1)
            return "-t needs one character";
        options.comment = value[0];
    } else if (name == "-w") {
        if (!parse_decimals(value, options.dms_decimals) || options.dms_decimals > kMaxDmsDecimals)
            return "-w needs a number of decimals of seconds from 0 to " +
                   std::to_string(kMaxDmsDecimals);
    } else if (name == "--list") {
        if (value != "datums" && value != "projections" && value != "changes")
            return "--list needs datums, projections or changes";
        options.list = value;
    } else if (name == "--set") {
        if (value.find('=') == std::string_view::npos || value.front() == '=')
            return "--set needs PARAM=VALUE";
        options.sets.emplace_back(value);
    } else {
        options.db_dir = value;
    }
    return {};
}

bool takes_value(std::string_view name) {
    return name == "-d" || name == "-w" || name == "-f" || name == "-e" || name == "-t" ||
           name == "--list" || name == "--db" || name == "--set";
}

} // namespace

ParsedOptions parse_options(int argc, char **argv) {
    ParsedOptions parsed;
    Options &options = parsed.options;
    std::vector<std::string> positional;
    bool options_end = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (options_end || arg.size() < 2 || arg[0] != '-') {
            positional.emplace_back(arg);
        } else if (arg == "--") {
            options_end = true;
        } else if (arg == "-I") {
            options.inverse = true;
        } else if (arg == "-E") {
            options.echo = true;
        } else if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--info") {
            options.info = true;
        } else if (arg == "--trace") {
            options.trace = true;
        } else if (arg == "-r") {
            options.swap_input = true;
        } else if (arg == "-s") {
            options.swap_output = true;
        } else if (arg == "--header") {
            options.header = true;
        } else if (arg == "--keep-height") {
            options.keep_height = true;
        } else if (arg == "--flush") {
            options.flush = true;
        } else if (arg == "--verbose") {
            options.verbose = true;
        } else if (takes_value(arg)) {
            if (i + 1 == argc) {
                parsed.error = std::string(arg) + " needs a value";
                return parsed;
            }
            parsed.error = apply_valued(arg, argv[++i], options);
        } else if (arg.size() > 2 && arg[1] != '-' && takes_value(arg.substr(0, 2))) {
            parsed.error = apply_valued(arg.substr(0, 2), arg.substr(2), options);
        } else {
            parsed.error = "unknown option " + std::string(arg);
        }
        if (!parsed.error.empty())
            return parsed;
    }
    if (options.help || options.version)
        return parsed;
    if (!options.list.empty()) {
        if (!positional.empty())
            parsed.error = "--list takes no coordinate systems or files";
        return parsed;
    }
    if (options.info) {
        if (positional.empty() || positional.size() > 2) {
            parsed.error = "--info takes one coordinate system, or a source and a target";
            return parsed;
        }
        options.source = positional[0];
        options.target = positional.size() == 2 ? positional[1] : std::string();
        if (options.inverse && !options.target.empty())
            std::swap(options.source, options.target);
        return parsed;
    }
    if (positional.size() < 2) {
        parsed.error = "a source and a target coordinate system are needed";
        return parsed;
    }
    options.source = positional[0];
    options.target = positional[1];
    options.files.assign(positional.begin() + 2, positional.end());
    if (options.inverse)
        std::swap(options.source, options.target);
    return parsed;
}

} // namespace mpxcs
