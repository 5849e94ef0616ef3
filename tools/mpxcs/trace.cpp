// --trace: the library's trace hook records each step of the point being
// converted; the converter prints them by the point's input line, so a user
// who gets a surprising number sees at which step it arose. The last line
// is the output in the converter's own format, the very text it writes.
#include "console.hpp"
#include "info.hpp"

#include <mpxlib.h>

#include <cstdio>
#include <string>

namespace mpxcs {
namespace {

constexpr double kDegreesPerRadian = 57.295779513082321;

struct TraceState {
    bool source_geodetic = false;
    NumberFormat xy_format{0, ""};
    NumberFormat z_format{0, ""};
    bool always_z = false;
    std::string pending; // the steps of the last point before its output
    bool has_output = false;
    double output[3] = {};
};

TraceState *g_trace = nullptr;

const char *step_name(int step) {
    switch (step) {
    case MPX_TRACE_SCALED_INPUT:
        return "scaled input";
    case MPX_TRACE_FROM_GEOCENTRIC:
        return "geodetic from geocentric";
    case MPX_TRACE_WINDOW:
        return "longitude window";
    case MPX_TRACE_SOURCE_BACKWARD:
        return "source projection backward";
    case MPX_TRACE_DATUM_CHANGE:
        return "after datum change";
    case MPX_TRACE_TARGET_FORWARD:
        return "target projection forward";
    case MPX_TRACE_TO_GEOCENTRIC:
        return "geocentric";
    default:
        return "output";
    }
}

// Steps whose first two values are longitude and latitude in radians.
bool is_angular(int step, bool source_geodetic) {
    switch (step) {
    case MPX_TRACE_SCALED_INPUT:
        return source_geodetic;
    case MPX_TRACE_FROM_GEOCENTRIC:
    case MPX_TRACE_WINDOW:
    case MPX_TRACE_SOURCE_BACKWARD:
    case MPX_TRACE_DATUM_CHANGE:
        return true;
    default:
        return false;
    }
}

void record_step(void *, int step, int status, double x, double y, double z) {
    TraceState &state = *g_trace;
    if (step == MPX_TRACE_SCALED_INPUT) { // a new point, or the same one retried
        state.pending.clear();
        state.has_output = false;
    }
    if (step == MPX_TRACE_OUTPUT) {
        state.has_output = true;
        state.output[0] = x;
        state.output[1] = y;
        state.output[2] = z;
        return;
    }
    char line[256];
    if (is_angular(step, state.source_geodetic))
        std::snprintf(line, sizeof line, "trace %s: lon %s lat %s rad (%.12f %.12f deg) h %s",
                      step_name(step), shortest(x).c_str(), shortest(y).c_str(),
                      x * kDegreesPerRadian, y * kDegreesPerRadian, shortest(z).c_str());
    else
        std::snprintf(line, sizeof line, "trace %s: x %s y %s z %s", step_name(step),
                      shortest(x).c_str(), shortest(y).c_str(), shortest(z).c_str());
    state.pending += line;
    if (status != 0)
        state.pending += " (status " + std::to_string(status) + ")";
    state.pending += '\n';
}

} // namespace

void trace_install(const SystemName &source, const NumberFormat &xy_format,
                   const NumberFormat &z_format, bool always_z) {
    static TraceState state;
    state.source_geodetic = source.geodetic();
    state.xy_format = xy_format;
    state.z_format = z_format;
    state.always_z = always_z;
    g_trace = &state;
    mpx_install_trace(record_step, nullptr);
}

void trace_print(const char *input_name, long line, bool has_z) {
    if (!g_trace || g_trace->pending.empty())
        return;
    TraceState &state = *g_trace;
    if (state.has_output) {
        state.pending += "trace output: ";
        state.xy_format.append(state.pending, state.output[0]);
        state.pending += '\t';
        state.xy_format.append(state.pending, state.output[1]);
        if (has_z || state.always_z) {
            state.pending += ' ';
            state.z_format.append(state.pending, state.output[2]);
        }
        state.pending += '\n';
    }
    std::size_t begin = 0;
    const std::string &text = state.pending;
    console_set_place(input_name, line);
    while (begin < text.size()) {
        const std::size_t end = text.find('\n', begin);
        console_error(text.substr(begin, end - begin));
        begin = end + 1;
    }
    state.pending.clear();
    state.has_output = false;
}

} // namespace mpxcs
