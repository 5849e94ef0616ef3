#include "number_format.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <utility>

namespace mpxcs {
namespace {

// A double in fixed notation has at most 309 digits before the point.
constexpr std::size_t kNumberBuffer = 400;
// Width and precision of a user format: at most two digits (99), plenty for
// coordinates, and 309 + 1 + 99 characters stay inside kNumberBuffer.
constexpr std::size_t kMaxFormatDigits = 2;

std::size_t skip_digits(std::string_view text, std::size_t pos, std::size_t &count) {
    count = 0;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
        ++pos;
        ++count;
    }
    return pos;
}

} // namespace

bool is_valid_number_format(std::string_view format) {
    int conversions = 0;
    for (std::size_t pos = 0; pos < format.size(); ++pos) {
        if (format[pos] != '%')
            continue;
        ++pos;
        if (pos < format.size() && format[pos] == '%')
            continue;
        while (pos < format.size() &&
               std::string_view("-+ #0").find(format[pos]) != std::string_view::npos)
            ++pos;
        std::size_t digits = 0;
        pos = skip_digits(format, pos, digits);
        if (digits > kMaxFormatDigits)
            return false;
        if (pos < format.size() && format[pos] == '.') {
            pos = skip_digits(format, pos + 1, digits);
            if (digits > kMaxFormatDigits)
                return false;
        }
        if (pos == format.size() ||
            std::string_view("fFeEgGaA").find(format[pos]) == std::string_view::npos)
            return false;
        ++conversions;
    }
    return conversions == 1;
}

void append_dms(std::string &out, double degrees, int decimals, char positive, char negative) {
    constexpr long long kSecondsPerMinute = 60;
    constexpr long long kSecondsPerDegree = 3600;
    constexpr double kMaxDegrees = 1e6; // far beyond any angle, far inside a long long
    if (!(std::fabs(degrees) < kMaxDegrees)) {
        char text[kNumberBuffer];
        out.append(text, std::to_chars(text, text + sizeof text, degrees).ptr);
        return;
    }
    long long unit = 1; // counts per second
    for (int i = 0; i < decimals; ++i)
        unit *= 10;
    auto total = static_cast<long long>(
        std::llround(std::fabs(degrees) * static_cast<double>(kSecondsPerDegree * unit)));
    long long whole_degrees = total / (kSecondsPerDegree * unit);
    long long rest = total % (kSecondsPerDegree * unit);
    long long minutes = rest / (kSecondsPerMinute * unit);
    long long seconds = rest % (kSecondsPerMinute * unit);
    out += std::to_string(whole_degrees);
    out += 'd';
    if (minutes != 0 || seconds != 0) {
        out += std::to_string(minutes);
        out += '\'';
    }
    if (seconds != 0) {
        out += std::to_string(seconds / unit);
        std::string fraction = std::to_string(seconds % unit + unit).substr(1);
        while (!fraction.empty() && fraction.back() == '0')
            fraction.pop_back();
        if (!fraction.empty())
            out += '.' + fraction;
        out += '"';
    }
    out += degrees < 0.0 && total != 0 ? negative : positive;
}

NumberFormat::NumberFormat(int decimals, std::string printf_format)
    : decimals_(decimals), printf_format_(std::move(printf_format)) {
    scale_ = 1.0;
    for (int i = 0; i < decimals_; ++i)
        scale_ *= 10.0; // exact: powers of ten up to 1e22 are doubles
}

// Fixed decimals by integer arithmetic, several times faster than the
// general conversion. value * scale is rounded once, so it is within
// kProductError of the exact product as long as it stays below kFastLimit;
// a product that close to a rounding tie goes the exact way, so the text is
// always std::to_chars's. False when the value must go the exact way.
bool NumberFormat::append_fast(std::string &out, double value) const {
    constexpr double kFastLimit = 1099511627776.0; // 2^40: ulp 2^-12
    constexpr double kTieBand = 1e-3;              // well above 2^-13
    double scaled = std::fabs(value) * scale_;
    if (!(scaled < kFastLimit))
        return false; // also NaN
    double whole = std::floor(scaled);
    double fraction = scaled - whole;
    if (std::fabs(fraction - 0.5) < kTieBand)
        return false;
    auto units = static_cast<unsigned long long>(whole) + (fraction > 0.5 ? 1 : 0);
    char digits[24];
    auto [end, ec] = std::to_chars(digits, digits + sizeof digits, units);
    auto length = static_cast<std::size_t>(end - digits);
    auto decimals = static_cast<std::size_t>(decimals_);
    if (std::signbit(value) && units != 0) // no "-0.000"
        out += '-';
    if (length <= decimals) {
        out += '0';
        out += '.';
        out.append(decimals - length, '0');
        out.append(digits, length);
        return true;
    }
    out.append(digits, length - decimals);
    if (decimals > 0) {
        out += '.';
        out.append(digits + length - decimals, decimals);
    }
    return true;
}

void NumberFormat::append(std::string &out, double value) const {
    char buffer[kNumberBuffer];
    if (!printf_format_.empty()) {
        int length = std::snprintf(buffer, sizeof buffer, printf_format_.c_str(), value);
        if (length > 0)
            out.append(buffer, std::min(static_cast<std::size_t>(length), sizeof buffer - 1));
        return;
    }
    if (append_fast(out, value))
        return;
    std::to_chars_result result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals_);
    if (result.ec != std::errc())
        result = std::to_chars(buffer, buffer + sizeof buffer, value);
    // A tiny negative value rounds to "-0.000": print it as zero.
    char *first = buffer;
    if (*first == '-' &&
        std::all_of(first + 1, result.ptr, [](char c) { return c == '0' || c == '.'; }))
        ++first;
    out.append(first, result.ptr);
}

} // namespace mpxcs
