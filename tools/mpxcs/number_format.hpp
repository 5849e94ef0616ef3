// Writes coordinates: fixed decimals through std::to_chars (the fast path),
// or a user's printf-style format checked to hold exactly one conversion of
// a double, so that no format text can make printf read a missing argument.
#pragma once

#include <string>
#include <string_view>

namespace mpxcs {

// The most decimals -d accepts: beyond 17 a double has no more digits.
constexpr int kMaxDecimals = 17;

bool is_valid_number_format(std::string_view format);

class NumberFormat {
  public:
    // printf_format empty: `decimals` fixed decimals.
    NumberFormat(int decimals, std::string printf_format);
    void append(std::string &out, double value) const;

  private:
    int decimals_;
    std::string printf_format_;
};

} // namespace mpxcs
