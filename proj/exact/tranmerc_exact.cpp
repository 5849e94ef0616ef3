// Exact companions of "tranmerc", "stm" and "utm": the same records,
// parameters, modes and outputs, computed with Krüger's series in the third
// flattening n to order n^6 instead of the classic power series in the
// longitude difference.
//
// Source: C. F. F. Karney, "Transverse Mercator with an accuracy of a few
// nanometers", J. Geodesy 85 (2011) 475-485: the conformal latitude by
// eqs. 7-9, the spherical transverse Mercator of it by eqs. 10-11, Krüger's
// series 35 (forward) and 36 (backward) with the rectifying radius A of
// eq. 14, and Newton's method 19-21 for the latitude from the conformal
// latitude. Within 4000 km of the central meridian the error is below 5 nm.
//
// Domain: every longitude within 90 degrees of the central meridian, and
// every latitude; the poles map onto the central meridian. Beyond 90
// degrees the series give the mirror image, as the classic form folds them.
// Singular: the equator 90 degrees from the central meridian (x infinite,
// status 2). A non-finite input or result gives status 1, outputs untouched.
#include "mpxlib.h"
#include "numeric/thresholds.hpp"
#include "proj/cylindrical/tranmerc_keywords.hpp"
#include "proj/exact/conformal.hpp"
#include "proj/exact/exact.hpp"

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <numbers>

namespace {

constexpr int kOrder = 6; // Krüger's series to n^6

struct TranmercRecord : TranmercDeclared {
    // Derived by init.
    double e2;            // e squared
    double rectifying;    // A, eq. 14
    double alpha[kOrder]; // forward series, eq. 35
    double beta[kOrder];  // backward series, eq. 36
    double y0;            // k0-free northing of the latitude of origin
};

TranmercRecord &record_of(void *params) { return *static_cast<TranmercRecord *>(params); }

constexpr int kStatusNotRepresentable = 1;
constexpr int kStatusSingular = 2;
constexpr int kStatusInitFailed = 1;

using tranmerc_keywords::Keyword;

// Horner evaluation of a polynomial in n with coefficients from the
// highest power down to n^1 (no constant term).
double in_n(double n, std::initializer_list<double> high_to_low) {
    double sum = 0.0;
    for (double c : high_to_low)
        sum = sum * n + c;
    return sum * n;
}

void krueger_coefficients(double n, double *alpha, double *beta) {
    // Karney (2011) eq. 35, coefficients of n^6 down to n^j.
    alpha[0] = in_n(n, {7891.0 / 37800, -127.0 / 288, 41.0 / 180, 5.0 / 16, -2.0 / 3, 1.0 / 2});
    alpha[1] = n * in_n(n, {-1983433.0 / 1935360, 281.0 / 630, 557.0 / 1440, -3.0 / 5, 13.0 / 48});
    alpha[2] = n * n * in_n(n, {167603.0 / 181440, 15061.0 / 26880, -103.0 / 140, 61.0 / 240});
    alpha[3] = n * n * n * in_n(n, {6601661.0 / 7257600, -179.0 / 168, 49561.0 / 161280});
    alpha[4] = n * n * n * n * in_n(n, {-3418889.0 / 1995840, 34729.0 / 80640});
    alpha[5] = n * n * n * n * n * in_n(n, {212378941.0 / 319334400});
    // Eq. 36.
    beta[0] = in_n(n, {96199.0 / 604800, -81.0 / 512, -1.0 / 360, 37.0 / 96, -2.0 / 3, 1.0 / 2});
    beta[1] = n * in_n(n, {-1118711.0 / 3870720, 46.0 / 105, -437.0 / 1440, 1.0 / 15, 1.0 / 48});
    beta[2] = n * n * in_n(n, {5569.0 / 90720, -209.0 / 4480, -37.0 / 840, 17.0 / 480});
    beta[3] = n * n * n * in_n(n, {-830251.0 / 7257600, -11.0 / 504, 4397.0 / 161280});
    beta[4] = n * n * n * n * in_n(n, {-108847.0 / 3991680, 4583.0 / 161280});
    beta[5] = n * n * n * n * n * in_n(n, {20648693.0 / 638668800});
}

struct Complex {
    double re, im;
};

Complex operator*(Complex a, Complex b) {
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

// Krüger's sums sum_j c_j sin(2 j zeta) cosh-and-sinh-wise, that is the
// complex sum_j c_j sin(2 j zeta) of zeta = xi + i eta (Karney eq. 11), by
// Clenshaw's recurrence: one sine, cosine, sinh and cosh instead of six of
// each. Written in real arithmetic, without the library's checks for
// infinite parts, which cannot arise for finite zeta.
Complex sine_series(const double *c, Complex zeta) {
    const double s = std::sin(2 * zeta.re), k = std::cos(2 * zeta.re);
    const double sh = std::sinh(2 * zeta.im), ch = std::cosh(2 * zeta.im);
    const Complex sin2 = {s * ch, k * sh};
    const Complex two_cos2 = {2 * k * ch, -2 * s * sh};
    Complex b1 = {0, 0}, b2 = {0, 0};
    for (int j = kOrder; j >= 1; --j) {
        const Complex t = two_cos2 * b1;
        const Complex b0 = {t.re - b2.re + c[j - 1], t.im - b2.im};
        b2 = b1;
        b1 = b0;
    }
    return sin2 * b1;
}

// Gauss-Krüger xi and eta (in units of A) of a point dlon from the
// central meridian; false at the singular point.
bool project(const TranmercRecord &r, double dlon, double lat, double &xi, double &eta) {
    const double e = r.eccentricity;
    const double c = std::cos(dlon), s = std::sin(dlon);
    double xi_p = 0.0, eta_p = 0.0;
    if (is_pole(lat)) {
        xi_p = std::copysign(std::numbers::pi / 2, lat);
    } else {
        const double tp = conformal_tan(std::tan(lat), e);
        const double denominator = std::hypot(tp, c);
        if (denominator < kZeroDenominator * kZeroDenominator)
            return false;
        xi_p = std::atan2(tp, c);
        eta_p = std::asinh(s / denominator);
    }
    const Complex sum = sine_series(r.alpha, {xi_p, eta_p});
    xi = xi_p + sum.re;
    eta = eta_p + sum.im;
    return true;
}

int init_common(TranmercRecord &r) {
    const double e = r.eccentricity;
    if (!(e >= 0.0 && e < 1.0) || !(r.radius > 0.0) || !std::isfinite(r.radius))
        return kStatusInitFailed;
    r.long_cut = r.centre_merid - std::numbers::pi;
    r.e2 = e * e;
    const double f = 1.0 - std::sqrt(1.0 - r.e2);
    const double n = f / (2.0 - f);
    const double n2 = n * n;
    // Eq. 14: A = a / (1 + n) (1 + n^2/4 + n^4/64 + n^6/256).
    r.rectifying = r.radius / (1.0 + n) * (1.0 + n2 * (1.0 / 4 + n2 * (1.0 / 64 + n2 / 256)));
    krueger_coefficients(n, r.alpha, r.beta);
    double xi = 0.0, eta = 0.0;
    project(r, 0.0, r.centre_lat, xi, eta);
    r.y0 = xi * r.rectifying;
    return 0;
}

int tranmerc_init(void *params) noexcept {
    tranmerc_keywords::set_keyword_fields(record_of(params), Keyword::Tranmerc);
    return init_common(record_of(params));
}

int stm_init(void *params) noexcept {
    tranmerc_keywords::set_keyword_fields(record_of(params), Keyword::Stm);
    return init_common(record_of(params));
}

int utm_init(void *params) noexcept {
    tranmerc_keywords::set_keyword_fields(record_of(params), Keyword::Utm);
    return init_common(record_of(params));
}

int forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    if (!std::isfinite(lon) || !std::isfinite(lat))
        return kStatusNotRepresentable;
    const TranmercRecord &r = record_of(params);
    double xi = 0.0, eta = 0.0;
    if (!project(r, lon - r.centre_merid, lat, xi, eta))
        return kStatusSingular;
    double east = eta * r.rectifying * r.scale_factor + r.false_east;
    double north = (xi * r.rectifying - r.y0) * r.scale_factor + r.false_north;
    if (r.grid_ws != 0) {
        east = -east;
        north = -north;
    }
    if (!std::isfinite(east) || !std::isfinite(north))
        return kStatusNotRepresentable;
    *x = east;
    *y = north;
    return 0;
}

int backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    if (!std::isfinite(x) || !std::isfinite(y))
        return kStatusNotRepresentable;
    const TranmercRecord &r = record_of(params);
    if (r.grid_ws != 0) {
        x = -x;
        y = -y;
    }
    const double xi = ((y - r.false_north) / r.scale_factor + r.y0) / r.rectifying;
    const double eta = (x - r.false_east) / r.scale_factor / r.rectifying;
    const Complex sum = sine_series(r.beta, {xi, eta});
    const double xi_p = xi - sum.re, eta_p = eta - sum.im;
    const double sh = std::sinh(eta_p), c = std::cos(xi_p);
    const double tau_prime = std::sin(xi_p) / std::hypot(sh, c);
    double tau = 0.0;
    if (!std::isfinite(tau_prime)) {
        tau = tau_prime; // a pole
    } else if (!geographic_tan(tau_prime, r.eccentricity, r.e2, tau)) {
        return kStatusNotRepresentable;
    }
    const double phi = std::atan(tau);
    const double lambda = r.centre_merid + std::atan2(sh, c);
    if (!std::isfinite(lambda) || !std::isfinite(phi) || std::fabs(phi) > std::numbers::pi / 2)
        return kStatusNotRepresentable;
    *lon = lambda;
    *lat = phi;
    return 0;
}

int install(Keyword keyword, mpx_proj_init_fn init) noexcept {
    return tranmerc_keywords::install<TranmercRecord>(keyword, init, forward, backward);
}

} // namespace

int exact_tranmerc_install() noexcept { return install(Keyword::Tranmerc, tranmerc_init); }
int exact_stm_install() noexcept { return install(Keyword::Stm, stm_init); }
int exact_utm_install() noexcept { return install(Keyword::Utm, utm_init); }
