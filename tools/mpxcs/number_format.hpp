// Writes coordinates: fixed decimals through std::to_chars (the fast path),
// or a user's printf-style format checked to hold exactly one conversion of
// a double, so that no format text can make printf read a missing argument.
#pragma once

#include <string>
#include <string_view>

namespace mpxcs {

// The most decimals -d accepts: beyond 17 a double has no more digits.
constexpr int kMaxDecimals = 17;

// The most decimals of seconds -w accepts: a whole circle in units of
// 1e-9 seconds still counts exactly in a double.
constexpr int kMaxDmsDecimals = 9;

bool is_valid_number_format(std::string_view format);

// Degrees as cs2cs writes them with -w: 2d59'55.946"E, zero seconds and
// minutes left out (45d15'N, 45dN), trailing zeros of the seconds cut.
// positive and negative are the hemisphere letters ('E', 'W' or 'N', 'S').
void append_dms(std::string &out, double degrees, int decimals, char positive, char negative);

class NumberFormat {
  public:
    // printf_format empty: `decimals` fixed decimals.
    NumberFormat(int decimals, std::string printf_format);
    void append(std::string &out, double value) const;

  private:
    bool append_fast(std::string &out, double value) const;

    int decimals_;
    double scale_; // 10^decimals
    std::string printf_format_;
};

} // namespace mpxcs
