// The converter's command line: one input is one argument vector, the
// arguments separated by newlines (an argument never holds one in practice;
// a NUL ends an argument early, as it would in argv). The parser must either
// name an error or hand back options that the converter can use as they are:
// decimals in range, a format the number writer accepts, one known list.
// The format and decimals accepted are then used to write hostile numbers.
#include "mpxcs/number_format.hpp"
#include "mpxcs/options.hpp"

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

namespace {

// More arguments than any command line of the converter needs.
constexpr std::size_t kMaxArguments = 64;

void check(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    std::vector<std::string> arguments{"mpxcs"};
    std::string current;
    for (std::size_t i = 0; i < size && arguments.size() < kMaxArguments; ++i) {
        if (data[i] == '\n') {
            arguments.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(data[i]);
        }
    }
    if (!current.empty() && arguments.size() < kMaxArguments)
        arguments.push_back(current);
    std::vector<char *> argv;
    for (std::string &a : arguments)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    const mpxcs::ParsedOptions parsed =
        mpxcs::parse_options(static_cast<int>(arguments.size()), argv.data());
    if (!parsed.error.empty())
        return 0;
    const mpxcs::Options &o = parsed.options;
    check(o.decimals >= -1 && o.decimals <= mpxcs::kMaxDecimals);
    check(o.format.empty() || mpxcs::is_valid_number_format(o.format));
    check(o.list.empty() || o.list == "datums" || o.list == "projections" || o.list == "changes");
    for (const std::string &set : o.sets)
        check(set.find('=') != std::string::npos && set.front() != '=');
    if (o.help || o.version || !o.list.empty())
        return 0;
    if (!o.info)
        check(arguments.size() >= 3);

    std::string out;
    const mpxcs::NumberFormat writer(o.decimals < 0 ? 3 : o.decimals, o.format);
    for (const double value :
         {0.0, -0.0, 1e308, -1e308, std::numeric_limits<double>::denorm_min(), 123456.789})
        writer.append(out, value);
    return 0;
}
