// "lambazea": the Lambert azimuthal equal-area projection, on the sphere
// (e below 1e-7) with north polar, south polar, oblique and equatorial
// aspects, and on the ellipsoid through the authalic latitude with polar,
// oblique and equatorial aspects. The scale factor is declared but not
// read.
//
// Source: Snyder, Map Projections: A Working Manual (USGS Professional Paper
// 1395, 1987), chapter 24: sphere eqs. 24-2 to 24-4 and 24-13 to 24-16
// forward, 20-14 with 24-16 backward; ellipsoid eqs. 24-8 to 24-21 with q
// (3-12) and the authalic latitude, backward 24-25 to 24-31, the authalic
// series 3-18 refined by the iteration 3-16. Also EPSG Guidance Note 7-2,
// Lambert Azimuthal Equal Area (method 9820).
//
// Domain: the whole globe. The antipode of the centre is a circle on the
// map (radius 2a on the sphere): its exact point (within 1e-7 rad in
// latitude and in longitude) comes out as (2a, 2a) from the false origin
// with status 4. In the oblique and equatorial aspects a point whose
// denominator 1 + cos c falls below 1e-7 (within 4.5e-4 rad of the
// antipode) is moved westward by 1e-6 degree steps until it rises above;
// after 99 tries the status is -2 with the outputs untouched.
//
// Departures from Snyder:
// - A map point beyond the outer circle (where the backward arcsine has
//   no value, allowing 1e-10 of rounding) has no preimage and gives status
//   1 with the outputs untouched, as does a non-finite input or result. On
//   status 4 the point is produced.
// - Ellipsoidal polar backward: the authalic latitude is
//   s asin(1 - rho^2 / (a^2 qp)), the inverse of 24-23 with its sign. Taking
//   the magnitude of the arcsine, as a literal reading does, folds every
//   point of the far hemisphere onto its mirror image in the near one
//   (60 S came back as 60 N from a north polar centre).
// - The ellipsoid's backward latitude starts from a sine series in the
//   authalic latitude fitted to the exact inverse at init (six terms, good
//   to 1e-15 rad), not from the series 3-18 (good to 2.5e-10 rad, 1.6 mm):
//   the refinement 3-16 of the oblique and equatorial aspects then settles
//   in one step instead of two, and the polar aspect, which has no
//   refinement, is exact too. When the fit cannot be made (the iteration
//   fails on a degenerate figure) the series 3-18 serves.
// - The sphere's backward latitude comes from atan2 of the point's unit
//   vector rather than the arcsine of 20-14 (half the digits lost near the
//   poles).
#include "proj/azimuthal/azimuthal.hpp"

#include "numeric/thresholds.hpp"

#include "mpxlib.h"

#include <cmath>
#include <cstdint>
#include <numbers>

namespace {

// The fitted authalic series: its terms and the samples it is fitted on.
constexpr int kFitTerms = 6;
constexpr int kFitSamples = 12;

struct LambazeaRecord {
    // Declared attributes, in installer order.
    double false_east;
    double false_north;
    double scale_factor; // not read
    double centre_merid;
    double centre_lat;
    double radius;
    double eccentricity;
    double long_cut;
    // Derived by init; the ellipsoid's fields (from e2 on) only on the
    // ellipsoid.
    double sin_lat1;
    double sin2_lat1;
    double cos_lat1;
    int32_t aspect;
    double e2;
    double qp_closed; // q at the pole in closed form
    double qp;        // q at the pole from eq. 3-12
    double beta1;
    double cos_beta1;
    double sin_beta1;
    double d;  // eq. 24-20
    double rq; // radius of the authalic sphere, eq. 3-13
    double s;  // +1, or -1 for a southern centre
    double authalic[MPX_SERIES_SIZE];
    // phi - beta = sum of fit[k-1] sin 2k beta, fitted to the exact
    // inverse at init; fitted = 0 when that failed (then the series 3-18).
    double fit[kFitTerms];
    int32_t fitted;
    // Products the oblique forward uses per point: 1/qp, Rq D and Rq/D.
    double inv_qp;
    double rq_d;
    double rq_over_d;
};

LambazeaRecord &record_of(void *params) { return *static_cast<LambazeaRecord *>(params); }

constexpr int32_t kSphereNorthPolar = 1;
constexpr int32_t kSphereSouthPolar = 2;
constexpr int32_t kSphereOblique = 3;
constexpr int32_t kSphereEquatorial = 4;
constexpr int32_t kEllipsoidPolar = 10;
constexpr int32_t kEllipsoidOblique = 11;
constexpr int32_t kEllipsoidEquatorial = 12;

constexpr int kStatusAntipode = 4;
constexpr int kStatusNoSettle = -2;

// Below this eccentricity the sphere's formulas serve; a centre this close
// (radians) to a pole or the equator is one; a point this close to the
// antipode in latitude and in longitude is the antipode.
constexpr double kSphereEccentricity = 1e-7;
constexpr double kAspectTolerance = 1e-7;
constexpr double kAntipodeTolerance = 1e-7;
// The denominator search steps 1e-6 degree westward.
constexpr double kWestwardStep = 1.7453292519943295e-08;

constexpr double kPi = std::numbers::pi;
constexpr double kHalfPi = kPi / 2;

// Fits phi - beta = sum of c_k sin 2k beta (k = 1 to 6) to the exact
// latitude (eq. 3-16 from the series 3-18) at beta = j pi / 24, j = 1 to
// 11, by the discrete sine transform: the terms beyond the sixth are below
// e^14 (1e-15 rad on the Earth), so the fit starts the backward refinement
// within 1e-15 of its end and saves it a step.
void fit_authalic(LambazeaRecord &r) {
    double f[kFitSamples] = {};
    r.fitted = 1;
    for (int j = 1; j < kFitSamples; ++j) {
        const double beta = j * kPi / (2 * kFitSamples);
        double phi = mpx_snyder_eqn_3_18(beta, r.authalic);
        if (mpx_snyder_eqn_3_16(&phi, std::sin(beta) * r.qp, r.eccentricity, r.e2) != 0)
            r.fitted = 0;
        f[j] = phi - beta;
    }
    for (int k = 1; k <= kFitTerms; ++k) {
        double sum = 0.0;
        for (int j = 1; j < kFitSamples; ++j)
            sum += f[j] * std::sin(k * j * kPi / kFitSamples);
        r.fit[k - 1] = 2 * sum / kFitSamples;
    }
}

// phi - beta of the fit, with sin 2beta and cos 2beta given (Clenshaw).
double fitted_series(const LambazeaRecord &r, double sin2, double cos2) {
    double b1 = 0.0;
    double b2 = 0.0;
    for (int k = kFitTerms - 1; k >= 0; --k) {
        const double b = r.fit[k] + 2 * cos2 * b1 - b2;
        b2 = b1;
        b1 = b;
    }
    return b1 * sin2;
}

// The latitude of authalic latitude beta by the fitted series (or 3-18),
// with sin beta and cos beta given.
double latitude_of(const LambazeaRecord &r, double beta, double sin_beta, double cos_beta) {
    const double sin2 = 2 * sin_beta * cos_beta;
    const double cos2 = (cos_beta - sin_beta) * (cos_beta + sin_beta);
    return beta + (r.fitted ? fitted_series(r, sin2, cos2) : series_3_35(r.authalic, sin2, cos2));
}

int lambazea_init(void *params) noexcept {
    LambazeaRecord &r = record_of(params);
    const double e = r.eccentricity;
    const double phi1 = r.centre_lat;
    r.long_cut = mpx_normal_pi(r.centre_merid + kPi);
    r.sin_lat1 = std::sin(phi1);
    r.sin2_lat1 = r.sin_lat1 * r.sin_lat1;
    r.cos_lat1 = std::cos(phi1);
    if (std::fabs(e) < kSphereEccentricity) {
        r.aspect = std::fabs(phi1 - kHalfPi) < kAspectTolerance   ? kSphereNorthPolar
                   : std::fabs(phi1 + kHalfPi) < kAspectTolerance ? kSphereSouthPolar
                   : std::fabs(phi1) < kAspectTolerance           ? kSphereEquatorial
                                                                  : kSphereOblique;
    } else {
        r.aspect = std::fabs(std::fabs(phi1) - kHalfPi) < kAspectTolerance ? kEllipsoidPolar
                   : std::fabs(phi1) < kAspectTolerance                    ? kEllipsoidEquatorial
                                                                           : kEllipsoidOblique;
        r.e2 = e * e;
        r.qp_closed = 1 - ((1 - r.e2) / (2 * e)) * std::log((1 - e) / (1 + e));
        const double q1 = mpx_snyder_eqn_3_12(r.sin_lat1, r.sin2_lat1, e, r.e2);
        r.qp = mpx_snyder_eqn_3_12(1, 1, e, r.e2);
        r.sin_beta1 = q1 / r.qp;
        r.beta1 = std::asin(r.sin_beta1);
        r.cos_beta1 = std::cos(r.beta1);
        r.rq = r.radius * std::sqrt(r.qp / 2);
        const double m1 = r.cos_lat1 / std::sqrt(1 - r.e2 * r.sin2_lat1);
        r.d = r.radius * m1 / (r.rq * r.cos_beta1);
        mpx_snyder_init_3_18(e, r.authalic);
        r.inv_qp = 1 / r.qp;
        r.rq_d = r.rq * r.d;
        r.rq_over_d = r.rq / r.d;
        fit_authalic(r);
    }
    r.s = phi1 < 0 ? -1.0 : 1.0;
    return 0;
}

struct MapOffset {
    double x, y; // from the false origin
};

// The longitude difference, as its sine and cosine, that moves the point
// off the antipodal singularity, and the denominator 1 + cos c there: dlon
// itself when the denominator is at least 1e-7, else the first of up to 98
// values each 1e-6 degree further west where it is. Status 0, -2 when
// none is, 1 when the denominator is NaN (a degenerate figure).
// `denominator` gives 1 + cos c for the cosine of a longitude difference.
struct Shifted {
    double sin, cos, d;
};

template <class Denominator>
int off_antipode(double dlon, double sin_dlon, double cos_dlon, const Denominator &denominator,
                 Shifted &out) {
    out = {sin_dlon, cos_dlon, denominator(cos_dlon)};
    double trial = dlon;
    for (int tried = 1; !(std::fabs(out.d) >= kZeroDenominator); ++tried) {
        if (std::isnan(out.d))
            return kStatusNotRepresentable;
        if (tried == kMaxIterations - 1)
            return kStatusNoSettle;
        trial -= kWestwardStep;
        const double c = std::cos(trial);
        out = {std::sin(trial), c, denominator(c)};
    }
    return 0;
}

// The aspect's (x', y') and status 0, or the denominator search's status.
int aspect_forward(const LambazeaRecord &r, double dlon, double lat, MapOffset &p) {
    const double a = r.radius;
    const double sin_lat = std::sin(lat);
    const double sin_dlon = std::sin(dlon);
    const double cos_dlon = std::cos(dlon);
    Shifted t{};
    switch (r.aspect) {
    case kSphereNorthPolar: {
        const double rho = 2 * a * std::sin(kPi / 4 - lat / 2);
        p = {rho * sin_dlon, -rho * cos_dlon};
        return 0;
    }
    case kSphereSouthPolar: {
        const double rho = 2 * a * std::cos(kPi / 4 - lat / 2);
        p = {rho * sin_dlon, rho * cos_dlon};
        return 0;
    }
    case kSphereOblique:
    case kSphereEquatorial: {
        const double cos_lat = std::cos(lat);
        const auto denominator = [&](double cos_u) {
            return 1 + r.sin_lat1 * sin_lat + r.cos_lat1 * cos_lat * cos_u;
        };
        if (const int status = off_antipode(dlon, sin_dlon, cos_dlon, denominator, t))
            return status;
        const double k = std::sqrt(2 / t.d);
        p.x = a * k * cos_lat * sin_dlon;
        p.y = r.aspect == kSphereEquatorial
                  ? k * a * sin_lat
                  : (r.cos_lat1 * sin_lat - r.sin_lat1 * cos_lat * t.cos) * a * k;
        return 0;
    }
    default:
        break;
    }
    const double q = mpx_snyder_eqn_3_12(sin_lat, sin_lat * sin_lat, r.eccentricity, r.e2);
    if (r.aspect == kEllipsoidPolar) {
        const double rho = a * std::sqrt(r.qp - r.s * q);
        p = {rho * sin_dlon, -r.s * rho * cos_dlon};
        return 0;
    }
    const double sin_beta = q * r.inv_qp;
    const double cos_beta = std::sqrt((1 - sin_beta) * (1 + sin_beta));
    if (r.aspect == kEllipsoidEquatorial) {
        const double w = std::sqrt(2 / (1 + cos_beta * cos_dlon));
        p = {a * w * cos_beta * sin_dlon, (r.rq * r.rq / a) * w * sin_beta};
        return 0;
    }
    const auto denominator = [&](double cos_u) {
        return 1 + r.sin_beta1 * sin_beta + r.cos_beta1 * cos_beta * cos_u;
    };
    if (const int status = off_antipode(dlon, sin_dlon, cos_dlon, denominator, t))
        return status;
    // B D and B / D of eqs. 24-15 and 24-16, B = Rq sqrt(2/d).
    const double root = std::sqrt(2 / t.d);
    p = {root * r.rq_d * cos_beta * t.sin,
         root * r.rq_over_d * (r.cos_beta1 * sin_beta - r.sin_beta1 * cos_beta * t.cos)};
    return 0;
}

int lambazea_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    const LambazeaRecord &r = record_of(params);
    if (!finite(lon, lat))
        return kStatusNotRepresentable;
    MapOffset p{0.0, 0.0};
    int status = 0;
    if (std::fabs(lat + r.centre_lat) < kAntipodeTolerance &&
        std::fabs(std::fabs(r.centre_merid - lon) - kPi) < kAntipodeTolerance) {
        p = {2 * r.radius, 2 * r.radius};
        status = kStatusAntipode;
    } else if (const int failed = aspect_forward(r, lon - r.centre_merid, lat, p)) {
        return failed;
    }
    return put(p.x + r.false_east, p.y + r.false_north, x, y, status);
}

struct Geographic {
    double lon, lat;
};

// Sphere, eqs. 20-14 and 24-16; false beyond the outer circle (2a).
bool sphere_backward(const LambazeaRecord &r, MapOffset p, Geographic &g) {
    // c = 2 asin(rho / 2a), by the double-angle formulas.
    const auto distance = [&r](double rho, double &sin_c, double &cos_c) {
        const double h = std::fmin(rho / (2 * r.radius), 1.0);
        sin_c = 2 * h * std::sqrt((1 - h) * (1 + h));
        cos_c = 1 - 2 * h * h;
        return within_unit(rho / (2 * r.radius));
    };
    const bool polar = r.aspect == kSphereNorthPolar || r.aspect == kSphereSouthPolar;
    SphereOffset o{};
    if (!sphere_backward({r.centre_lat, r.sin_lat1, r.cos_lat1, polar ? static_cast<int>(r.s) : 0},
                         p.x, p.y, distance, o))
        return false;
    g = {mpx_normal_pi(o.dlon + r.centre_merid), o.lat};
    return true;
}

// Ellipsoid, polar: eq. 24-25 for beta from q; false beyond the outer
// circle (q below -qp).
bool ellipsoid_polar_backward(const LambazeaRecord &r, MapOffset p, Geographic &g) {
    // sin beta = 1 - rho^2 / (a^2 qp), taken through the polar distance
    // pi/2 - beta = 2 asin(rho / (a sqrt(2 qp))), which keeps its digits
    // near the pole; the far hemisphere keeps its sign (not s |asin(...)|).
    const double half = std::hypot(p.x, p.y) / (r.radius * std::sqrt(2 * r.qp_closed));
    if (!within_unit(half))
        return false;
    const double beta = r.s * (kHalfPi - 2 * clamped_asin(half));
    g.lat = latitude_of(r, beta, std::sin(beta), std::cos(beta));
    g.lon = std::atan2(p.x, -p.y * r.s) + r.centre_merid;
    return true;
}

// Ellipsoid, oblique and equatorial: eqs. 24-28 to 24-31, the series
// latitude refined by the iteration 3-16. Status 1 beyond the outer
// circle, -2 when the iteration does not settle (g.lat then holds the
// series latitude).
int ellipsoid_backward(const LambazeaRecord &r, MapOffset p, Geographic &g) {
    const double u = p.x / r.d;
    const double v = r.d * p.y;
    const double rho = std::sqrt(u * u + v * v);
    double beta = r.beta1;
    double sin_beta = r.sin_beta1;
    double cos_beta = r.cos_beta1;
    g.lon = r.centre_merid;
    if (rho >= kZeroDenominator) {
        const double half = rho / (2 * r.rq);
        if (!within_unit(half))
            return kStatusNotRepresentable;
        // ce = 2 asin(half), by the double-angle formulas.
        const double h = std::fmin(half, 1.0);
        const double sin_ce = 2 * h * std::sqrt((1 - h) * (1 + h));
        const double cos_ce = 1 - 2 * h * h;
        sin_beta = sin_ce * p.y * r.d * r.cos_beta1 / rho + cos_ce * r.sin_beta1;
        beta = clamped_asin(sin_beta);
        // Only for the first value below: the refinement works from q.
        cos_beta = std::sqrt(std::fmax(0.0, (1 - sin_beta) * (1 + sin_beta)));
        g.lon = std::atan2(sin_ce * p.x, r.d * r.cos_beta1 * cos_ce * rho -
                                             r.d * r.d * r.sin_beta1 * sin_ce * p.y) +
                r.centre_merid;
    }
    const double q = sin_beta * r.qp;
    g.lat = latitude_of(r, beta, sin_beta, cos_beta);
    if (std::fabs(std::fabs(q) - std::fabs(r.qp_closed)) > kZeroDenominator)
        return mpx_snyder_eqn_3_16(&g.lat, q, r.eccentricity, r.e2);
    g.lat = q >= 0 ? kHalfPi : -kHalfPi;
    return 0;
}

int lambazea_backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    const LambazeaRecord &r = record_of(params);
    if (!finite(x, y))
        return kStatusNotRepresentable;
    const MapOffset p{x - r.false_east, y - r.false_north};
    Geographic g{0.0, 0.0};
    int status = 0;
    if (r.aspect == kEllipsoidPolar)
        status = ellipsoid_polar_backward(r, p, g) ? 0 : kStatusNotRepresentable;
    else if (r.aspect == kEllipsoidOblique || r.aspect == kEllipsoidEquatorial)
        status = ellipsoid_backward(r, p, g);
    else
        status = sphere_backward(r, p, g) ? 0 : kStatusNotRepresentable;
    if (status == kStatusNotRepresentable)
        return status;
    return put(g.lon, g.lat, lon, lat, status);
}

} // namespace

extern "C" int mpx_lambazea_install(void) noexcept {
    LambazeaRecord sample{};
    mpx_proj_create("lambazea", &sample, static_cast<int>(sizeof sample));
    mpx_proj_ins_par("false_east", &sample.false_east, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("false_north", &sample.false_north, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("scale_factor", &sample.scale_factor, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("centre_merid", &sample.centre_merid, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("centre_lat", &sample.centre_lat, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.radius", &sample.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.eccentricity", &sample.eccentricity, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &sample.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(lambazea_init, lambazea_forward, lambazea_backward);
    // No mode call: the entry keeps mode 0.
    return mpx_proj_end();
}
