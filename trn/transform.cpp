// The point pipeline: input scaling, geocentric input, longitude
// robustness, source projection backward, datum change, target projection
// forward, geocentric output, output scaling. Everything it calls was
// resolved by the set-up; it allocates nothing and looks nothing up.
#include "trn/trn_internal.hpp"

#include "trn/batch/batch.hpp"
#include "trn/inspect.hpp"

#include "frame/support.hpp"

#include <cmath>
#include <cstddef>
#include <numbers>

namespace {

constexpr int kRejected = 1;
constexpr char kTransformationError[] = "(mpx_transform) transformation error";
constexpr char kNotFiniteInput[] = "(mpx_transform) coordinate is not a finite number";
constexpr char kNotANumber[] = "(mpx_transform) result is not a number";
constexpr char kOutsideDomain[] = "(mpx_transform) point outside the projection's domain";
// Beyond this magnitude (radians) a longitude's place in a window has no
// correct digit left: its spacing of doubles reaches 1e-7 rad (0.6 m) at
// 1e9, and the turns removed by the wrap are no longer exact.
constexpr double kLongestWrappableLongitude = 1e9;
constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kTurnsPerRadian = 0.15915494309189535; // 1 / (2 pi)
constexpr double kHalfPi = std::numbers::pi / 2.0;

struct Point {
    double lon; // or x, or X
    double lat; // or y, or Y
    double height;
};

// Brings a longitude beyond one turn outside the window back by whole
// turns. A closed formula rather than a loop, so a huge longitude costs no
// more than a small one; the ceiling stays a double and is never cast to an
// integer, so no longitude can overflow a conversion.
double wrap(double lon, double low, double high) noexcept {
    if (lon <= low)
        return lon + std::ceil((low - lon) * kTurnsPerRadian) * kTwoPi;
    if (lon > high)
        return lon - std::ceil((lon - high) * kTurnsPerRadian) * kTwoPi;
    return lon;
}

void wrap_into_window(Point &p, const mpx_transformation &t) noexcept {
    if (p.lon < t.window_low) {
        p.lon += kTwoPi;
        if (p.lon < t.window_low)
            p.lon = wrap(p.lon, t.window_low, t.window_high);
    } else if (p.lon > t.window_high) {
        p.lon -= kTwoPi;
        if (p.lon > t.window_high)
            p.lon = wrap(p.lon, t.window_low, t.window_high);
    }
}

bool outside_window(const Point &p, const mpx_transformation &t) noexcept {
    return p.lon < t.window_low || p.lon > t.window_high || p.lat < -kHalfPi || p.lat > kHalfPi;
}

void report_grid_failure(const char *grid_files) noexcept {
    char line[96];
    qfio_Sprintf(line, sizeof line, "outside the grid or no inverse: %s", grid_files);
    mpx_combine_error(MPX_CLASS_SYSTEM, 0, line);
}

void trace(const TrnTraceHook &hook, int step, int status, const Point &p) noexcept {
    hook(step, status, p.lon, p.lat, p.height);
}

// False after reporting a failed datum change.
bool change_datum(Point &p, const mpx_transformation &t, const TrnTraceHook &hook) noexcept {
    if (t.datum_change_type == MPX_DATUM_CHANGE_NONE)
        return true;
    if (t.datum_change(t.change_data, &t.source_ellipsoid, &t.target_ellipsoid, p.lon, p.lat,
                       p.height, &p.lon, &p.lat, &p.height) != 0) {
        trace(hook, MPX_TRACE_DATUM_CHANGE, -1, p);
        // A grid change fails for points outside its files: name them, so
        // the user sees which grids the point fell outside of.
        if (t.datum_change_type == MPX_DATUM_CHANGE_GRID)
            report_grid_failure(trn_grid_route(&t));
        mpx_combine_error(MPX_CLASS_SYSTEM, 3, "datum conversion error");
        return false;
    }
    trace(hook, MPX_TRACE_DATUM_CHANGE, 0, p);
    return true;
}

bool finite(const Point &p) noexcept {
    return std::isfinite(p.lon) && std::isfinite(p.lat) && std::isfinite(p.height);
}

// How the inner steps ended.
enum class Inner {
    Done,          // the status says whether the projection routines succeeded
    DatumFailed,   // the datum change failed (and was reported)
    NotANumber,    // a step that succeeded gave a non-finite coordinate
    OutsideDomain, // the source backward gave a point off the map
};

struct InnerResult {
    Inner outcome;
    int status; // of the projection routines
};

// The source projection's backward step. A projection's status 0 is not
// trusted blindly: a non-finite result, a latitude beyond a pole or a
// longitude more than a turn outside the window the projection's forward
// takes (the inverse of a point far outside the projection's area) would
// otherwise go on as a silent wrong number.
InnerResult backward_step(Point &p, const mpx_transformation &t,
                          const TrnTraceHook &hook) noexcept {
    const int status = t.source_backward(t.source_params, p.lon, p.lat, &p.lon, &p.lat);
    trace(hook, MPX_TRACE_SOURCE_BACKWARD, status, p);
    if (status != 0)
        return {Inner::Done, status};
    if (!finite(p))
        return {Inner::NotANumber, 0};
    const TrnSourceWindow &w = trn_source_window(t);
    if (p.lat < -kHalfPi || p.lat > kHalfPi || (w.applies && (p.lon < w.low || p.lon > w.high)))
        return {Inner::OutsideDomain, 0};
    return {Inner::Done, 0};
}

InnerResult datum_step(Point &p, const mpx_transformation &t, int status,
                       const TrnTraceHook &hook) noexcept {
    if (!change_datum(p, t, hook))
        return {Inner::DatumFailed, status};
    // A failed backward may have left anything in the point.
    if (status == 0 && !finite(p))
        return {Inner::NotANumber, 0};
    return {Inner::Done, status};
}

InnerResult forward_step(Point &p, const mpx_transformation &t, int status,
                         const TrnTraceHook &hook) noexcept {
    const int forward_status = t.target_forward(t.target_params, p.lon, p.lat, &p.lon, &p.lat);
    trace(hook, MPX_TRACE_TARGET_FORWARD, forward_status, p);
    status |= forward_status;
    if (status == 0 && !finite(p))
        return {Inner::NotANumber, 0};
    return {Inner::Done, status};
}

// The inner steps by pipeline shape. A failing backward routine does not
// stop the later steps; a failing datum change does, and so does a step
// that succeeded with a non-finite result.
InnerResult inner_steps(Point &p, const mpx_transformation &t, const TrnTraceHook &hook) noexcept {
    InnerResult r{Inner::Done, 0};
    switch (t.inner_mode) {
    case kInnerGeodeticToProjected:
        r = datum_step(p, t, 0, hook);
        return r.outcome != Inner::Done ? r : forward_step(p, t, 0, hook);
    case kInnerProjectedToGeodetic:
        r = backward_step(p, t, hook);
        return r.outcome != Inner::Done ? r : datum_step(p, t, r.status, hook);
    case kInnerProjectedToProjected:
        r = backward_step(p, t, hook);
        if (r.outcome == Inner::Done)
            r = datum_step(p, t, r.status, hook);
        return r.outcome != Inner::Done ? r : forward_step(p, t, r.status, hook);
    default: // kInnerGeodeticToGeodetic
        return datum_step(p, t, 0, hook);
    }
}

// A refused point: status 1, reported, outputs untouched.
int refuse(const char *message) noexcept {
    mpx_combine_error(MPX_CLASS_SYSTEM, 3, message);
    return kRejected;
}

} // namespace

extern "C" int mpx_transform(const double *x, const double *y, const double *z, double *x_out,
                             double *y_out, double *z_out) noexcept {
    mpx_transformation *t = trn_current();
    if (!t) {
        mpx_combine_error(MPX_CLASS_PROGRAM, 3, "(mpx_transform) No transformation set up");
        return -1;
    }
    trn_settle(t);
    if (t->status == kTrnFailed) {
        mpx_combine_error(MPX_CLASS_PROGRAM, 0, "(mpx_transform) Bad transformation");
        return -1;
    }
    if (!x || !y || !z || !x_out || !y_out || !z_out)
        return -1;

    // Every input is read before any output is written: outputs may alias.
    Point p{*x * t->input_scale, *y * t->input_scale, *z};
    const TrnTraceHook hook = trn_trace_hook();
    trace(hook, MPX_TRACE_SCALED_INPUT, 0, p);
    // A NaN or infinite coordinate is no point: refused with a status rather
    // than carried through every step into a silent garbage result.
    if (!finite(p)) {
        mpx_combine_error(MPX_CLASS_SYSTEM, 3, kNotFiniteInput);
        return -1;
    }
    if (t->pre_mode == 1) {
        mpx_xyz_to_gd(&t->source_ellipsoid, p.lon, p.lat, p.height, &p.lon, &p.lat, &p.height);
        trace(hook, MPX_TRACE_FROM_GEOCENTRIC, 0, p);
        if (!finite(p))
            return refuse(kNotANumber);
    }

    switch (t->robust_mode) {
    case MPX_ROBUST_NONE:
        break;
    case MPX_ROBUST_WRAP:
        // Refused rather than wrapped into a longitude with no correct digit.
        if (std::fabs(p.lon) > kLongestWrappableLongitude)
            return refuse(kNotANumber);
        wrap_into_window(p, *t);
        trace(hook, MPX_TRACE_WINDOW, 0, p);
        break;
    case MPX_ROBUST_REJECT:
        if (outside_window(p, *t)) {
            trace(hook, MPX_TRACE_WINDOW, kRejected, p);
            return kRejected;
        }
        trace(hook, MPX_TRACE_WINDOW, 0, p);
        break;
    default:
        mpx_combine_error(MPX_CLASS_PROGRAM, 3, "(mpx_transform) bad robustness mode");
        return -1;
    }

    if (t->inner_mode < kInnerGeodeticToProjected || t->inner_mode > kInnerGeodeticToGeodetic) {
        mpx_combine_error(MPX_CLASS_PROGRAM, 3, "(mpx_transform) bad conversion mode");
        return -1;
    }
    const InnerResult inner = inner_steps(p, *t, hook);
    switch (inner.outcome) {
    case Inner::DatumFailed:
        return -1;
    case Inner::NotANumber:
        return refuse(kNotANumber);
    case Inner::OutsideDomain:
        return refuse(kOutsideDomain);
    case Inner::Done:
        break;
    }
    if (inner.status != 0) {
        mpx_combine_error(MPX_CLASS_SYSTEM, 3, kTransformationError);
        return inner.status;
    }
    if (t->post_mode == 1) {
        mpx_gd_to_xyz(&t->target_ellipsoid, p.lon, p.lat, p.height, &p.lon, &p.lat, &p.height);
        trace(hook, MPX_TRACE_TO_GEOCENTRIC, 0, p);
    }
    const Point out{p.lon * t->output_scale, p.lat * t->output_scale, p.height};
    if (!finite(out))
        return refuse(kNotANumber);
    *x_out = out.lon;
    *y_out = out.lat;
    *z_out = out.height;
    trace(hook, MPX_TRACE_OUTPUT, 0, out);
    return 0;
}

namespace {

constexpr char kBadArray[] = "(mpx_trans_array) bad transformation";

// Runs points [first, first + count) of the array rule: a point that fails
// stops the array after reporting, with later points untouched.
int per_point(const double *in, double *out, std::ptrdiff_t first, std::ptrdiff_t count) noexcept {
    for (std::ptrdiff_t i = first; i < first + count; ++i) {
        const double *point = in + 3 * i;
        double *result = out + 3 * i;
        if (mpx_transform(point, point + 1, point + 2, result, result + 1, result + 2) != 0) {
            mpx_combine_error(MPX_CLASS_SYSTEM, 3, kBadArray);
            return -1;
        }
    }
    return 0;
}

// The same rule in blocks through the vector kernels. A block's inputs are
// all read before any of its outputs is written, and each point's output
// goes only to its own place, so `out` may be `in`; a lane the kernels hand
// back is redone by mpx_transform on the untouched input, in array order.
int batched(const mpx_transformation &t, const BatchPlan &plan, const double *in, double *out,
            std::ptrdiff_t count) noexcept {
    BatchBlock block;
    for (std::ptrdiff_t first = 0; first < count; first += kBatchBlock) {
        const int n = static_cast<int>(count - first < kBatchBlock ? count - first : kBatchBlock);
        for (int i = 0; i < n; ++i) {
            const double *point = in + 3 * (first + i);
            block.x[i] = point[0];
            block.y[i] = point[1];
            block.z[i] = point[2];
        }
        for (int i = n; i < kBatchBlock && i % kBatchPad != 0; ++i)
            block.x[i] = block.y[i] = block.z[i] = 0.0;
        plan.run(t, plan, block, n);
        for (int i = 0; i < n; ++i) {
            if (block.handed_back[i]) {
                if (per_point(in, out, first + i, 1) != 0)
                    return -1;
                continue;
            }
            double *result = out + 3 * (first + i);
            result[0] = block.x[i];
            result[1] = block.y[i];
            result[2] = block.z[i];
        }
    }
    return 0;
}

} // namespace

extern "C" int mpx_trans_array(const int *n, const double *in, double *out) noexcept {
    if (!n)
        return -1;
    const int count = *n;
    if (count < 1)
        return 0;
    if (!in || !out)
        return -1;
    // Blocks only when no trace hook is installed (a hook sees every step
    // of every point), after a pending set-up has run as the first point
    // would run it.
    mpx_transformation *t = trn_current();
    BatchPlan plan;
    if (t && !trn_trace_hook().fn) {
        trn_settle(t);
        if (batch_plan(*t, plan))
            return batched(*t, plan, in, out, count);
    }
    return per_point(in, out, 0, count);
}

extern "C" int mpx_trans_polyline(const int *, const double *, double *) noexcept {
    mpx_combine_error(MPX_CLASS_SYSTEM, 3, "function mpx_trans_polyline is NOT implemented");
    return -1;
}
