// The converter's input: one input is one input file. Its lines go through
// the line reader and the scanner, and every point is written with fixed
// decimals and, when the first line is an acceptable printf-style format,
// with that format too; read as geodetic degrees, its angles are written in
// degrees, minutes and seconds.
#include "mpxcs/line_reader.hpp"
#include "mpxcs/line_scan.hpp"
#include "mpxcs/number_format.hpp"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    // fmemopen reads the caller's bytes in place; it never writes to them.
    std::FILE *file = fmemopen(const_cast<std::uint8_t *>(data), size, "rb");
    if (!file)
        return 0;
    constexpr char kComment = '#';
    const mpxcs::NumberFormat fixed(data[size - 1] % (mpxcs::kMaxDecimals + 1), "");
    std::string format;
    mpxcs::LineReader reader(file);
    std::string_view line;
    bool overlong = false;
    std::string out;
    for (bool first = true; reader.next(line, overlong); first = false) {
        if (first && mpxcs::is_valid_number_format(line))
            format = line;
        const mpxcs::ScannedLine scanned = mpxcs::scan_line(line, kComment);
        if (scanned.echo_end > scanned.rest_begin || scanned.rest_begin > line.size())
            std::abort();
        // The same line as geodetic degrees: DMS, hemispheres, the pole.
        mpxcs::ScanRules degrees;
        degrees.dms = true;
        degrees.max_latitude = 90.0;
        const mpxcs::ScannedLine angles = mpxcs::scan_line(line, degrees);
        if (angles.echo_end > angles.rest_begin || angles.rest_begin > line.size())
            std::abort();
        if (angles.kind == mpxcs::LineKind::Point) {
            if (!(std::fabs(angles.xyz[1]) <= 90.0))
                std::abort();
            out.clear();
            mpxcs::append_dms(out, angles.xyz[0], data[0] % (mpxcs::kMaxDmsDecimals + 1), 'E', 'W');
        }
        if (scanned.kind != mpxcs::LineKind::Point)
            continue;
        out.clear();
        for (const double value : scanned.xyz) {
            if (!std::isfinite(value))
                std::abort();
            fixed.append(out, value);
            if (!format.empty())
                mpxcs::NumberFormat(0, format).append(out, value);
        }
    }
    std::fclose(file);
    return 0;
}
