// mpxcs: converts points read from files or standard input between two
// coordinate systems of the geodetic database.
#include "console.hpp"
#include "converter.hpp"
#include "database.hpp"
#include "info.hpp"
#include "options.hpp"
#include "platform.hpp"
#include "system_name.hpp"

#include "mpxlib.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitSetup = 1;     // usage or database error
constexpr int kExitBadPoints = 2; // some points failed

// The pole's latitude in each geodetic unit.
constexpr double kPoleDegrees = 90.0;
constexpr double kPoleRadians = 1.5707963267948966;
constexpr double kPoleGrads = 100.0;

int usage_error(const std::string &error) {
    std::fprintf(stderr, "mpxcs: %s\n%s", error.c_str(), mpxcs::kUsage);
    return kExitSetup;
}

double pole_latitude(const mpxcs::SystemName &system) {
    if (!system.geodetic())
        return 0.0;
    if (system.units == "radians")
        return kPoleRadians;
    return system.units == "grads" ? kPoleGrads : kPoleDegrees;
}

// Options that need to know the systems; empty when they fit.
std::string check_options(const mpxcs::Options &options, const mpxcs::SystemName &source,
                          const mpxcs::SystemName &target) {
    if (options.dms_decimals >= 0 && !target.degrees())
        return "-w writes geodetic degrees: the target " + target.title() + " is not";
    if ((options.swap_input && !source.geodetic()) || (options.swap_output && !target.geodetic()))
        return "-r and -s swap latitude and longitude: they need a geodetic system";
    if (options.keep_height && (source.geocentric() || target.geocentric()))
        return "--keep-height needs systems with heights: geocentric Z is not one";
    return {};
}

int convert_all(const mpxcs::Options &options, const mpxcs::SystemName &source,
                const mpxcs::SystemName &target) {
    if (!mpxcs::set_up_with_settings(source, target, options.sets))
        return kExitSetup;
    bool geocentric = source.geocentric() || target.geocentric();
    bool chosen = options.decimals >= 0;
    mpxcs::NumberFormat xy_format(chosen ? options.decimals : mpxcs::default_decimals(target),
                                  options.format);
    mpxcs::NumberFormat z_format(chosen ? options.decimals : mpxcs::default_height_decimals(),
                                 options.format);
    if (options.trace)
        mpxcs::trace_install(source, xy_format, z_format, geocentric);
    mpxcs::ScanRules scan_rules;
    scan_rules.comment = options.comment;
    scan_rules.dms = source.degrees();
    scan_rules.swap = options.swap_input;
    scan_rules.max_latitude = pole_latitude(source);
    mpxcs::OutputRules output_rules;
    output_rules.always_z = geocentric;
    output_rules.dms = options.dms_decimals >= 0;
    output_rules.dms_decimals = options.dms_decimals;
    output_rules.swap = options.swap_output;
    output_rules.keep_height = options.keep_height;
    mpxcs::Converter converter(options, scan_rules, output_rules, xy_format, z_format);
    bool read_ok = true;
    if (options.files.empty())
        read_ok = converter.convert(stdin, "-");
    for (const std::string &name : options.files) {
        std::FILE *input = name == "-" ? stdin : std::fopen(name.c_str(), "rb");
        if (input == nullptr) {
            // Windows refuses to open a directory at all ("Permission
            // denied"); say what the converter says on systems that open it.
            int error = errno;
            std::error_code ignored;
            if (std::filesystem::is_directory(name, ignored))
                mpxcs::console_error("cannot read " + name + ": " + std::strerror(EISDIR));
            else
                mpxcs::console_error("cannot open " + name + ": " + std::strerror(error));
            read_ok = false;
            continue;
        }
        read_ok = converter.convert(input, name.c_str()) && read_ok;
        if (input != stdin)
            std::fclose(input);
    }
    std::fflush(stdout);
    if (!read_ok)
        return kExitSetup;
    return converter.failed_points() > 0 ? kExitBadPoints : kExitOk;
}

} // namespace

int main(int argc, char **argv) {
    mpxcs::use_binary_stdio();
    mpxcs::ParsedOptions parsed = mpxcs::parse_options(argc, argv);
    const mpxcs::Options &options = parsed.options;
    if (!parsed.error.empty())
        return usage_error(parsed.error);
    if (options.help) {
        std::fputs(mpxcs::kUsage, stdout);
        return kExitOk;
    }
    if (options.version) {
        std::printf("mpxcs (mpxlib) %s\n", MPXCS_VERSION);
        return kExitOk;
    }
    mpxcs::SystemName source, target;
    bool has_target = !(options.info && options.target.empty());
    if (options.list.empty()) {
        std::string error = mpxcs::parse_system_name(options.source, source);
        if (error.empty() && has_target)
            error = mpxcs::parse_system_name(options.target, target);
        if (!error.empty())
            return usage_error(error);
    }
    std::string error = mpxcs::select_database(options.db_dir);
    if (!error.empty()) {
        mpxcs::console_error(error);
        return kExitSetup;
    }
    mpxcs::console_install_handler();
    mpxcs::console_set_verbose(options.verbose);
    // The exact forms must be installed before the library creates its
    // first system, so this comes before any name is resolved.
    if (options.exact && mpx_exact_install() != 0) {
        mpxcs::console_error("--exact: the exact projections could not be installed");
        return kExitSetup;
    }
    if (!options.list.empty())
        return mpxcs::list_database(options.list) ? kExitOk : kExitSetup;
    error = mpxcs::resolve_system(source);
    if (error.empty() && has_target)
        error = mpxcs::resolve_system(target);
    if (error.empty() && !options.info)
        error = check_options(options, source, target);
    if (!error.empty()) {
        mpxcs::console_error(error);
        return kExitSetup;
    }
    if (options.info)
        return mpxcs::print_info(source, has_target ? &target : nullptr, options.sets) ? kExitOk
                                                                                       : kExitSetup;
    return convert_all(options, source, target);
}
