// Real power series without constant term, as the national grids define
// them (the New Zealand latitude series, the Swiss bivariate series).
#pragma once

// c[0] t + c[1] t^2 + ... + c[n-1] t^n. The powers come from repeated
// multiplication and the terms are summed from the highest down, the
// order in which the grid definitions state them, so that the results
// agree with theirs to the last bit.
inline double power_series(const double *c, int n, double t) noexcept {
    constexpr int kMaxTerms = 16;
    double power[kMaxTerms];
    double p = 1.0;
    for (int k = 0; k < n && k < kMaxTerms; ++k)
        power[k] = p *= t;
    double sum = 0.0;
    for (int k = (n < kMaxTerms ? n : kMaxTerms) - 1; k >= 0; --k)
        sum += c[k] * power[k];
    return sum;
}
