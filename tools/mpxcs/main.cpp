// mpxcs: converts points read from files or standard input between two
// coordinate systems of the geodetic database.
#include "console.hpp"
#include "converter.hpp"
#include "database.hpp"
#include "info.hpp"
#include "options.hpp"
#include "platform.hpp"
#include "system_name.hpp"

#include <cstdio>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitSetup = 1;     // usage or database error
constexpr int kExitBadPoints = 2; // some points failed

int usage_error(const std::string &error) {
    std::fprintf(stderr, "mpxcs: %s\n%s", error.c_str(), mpxcs::kUsage);
    return kExitSetup;
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
    mpxcs::Converter converter(options, xy_format, z_format, geocentric);
    bool read_ok = true;
    if (options.files.empty()) {
        read_ok = converter.convert(stdin, "-");
    }
    for (const std::string &name : options.files) {
        std::FILE *input = name == "-" ? stdin : std::fopen(name.c_str(), "rb");
        if (input == nullptr) {
            mpxcs::console_error("cannot open " + name);
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
    if (options.list.empty()) {
        std::string error = mpxcs::parse_system_name(options.source, source);
        if (error.empty() && !(options.info && options.target.empty()))
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
    if (!options.list.empty())
        return mpxcs::list_database(options.list) ? kExitOk : kExitSetup;
    if (options.info)
        return mpxcs::print_info(source, options.target.empty() ? nullptr : &target, options.sets)
                   ? kExitOk
                   : kExitSetup;
    return convert_all(options, source, target);
}
