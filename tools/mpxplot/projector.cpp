#include "projector.hpp"

#include <mpxlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace mpxplot {
namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
// A point whose round trip lands further than this from where it started
// (a chord of the unit sphere, about 64 m on the Earth) is not drawn: the
// projection has left the area where its formulas hold.
constexpr double kRoundTripTolerance = 1e-5;
// Step of the finite differences, in radians (about 6 m): the truncation
// error of a central difference is of order step squared, the rounding
// error of order 1e-16 of the coordinates divided by the step, both far
// below what a picture shows.
constexpr double kDifferenceStep = 1e-6;
// Points are kept this far inside the longitude window (degrees), since the
// library brings its eastern edge back to the western one.
constexpr double kEdgeInset = 1e-7;
// The scale at a pole is taken this far (degrees) from it: a step east
// there has no length.
constexpr double kPoleOffset = 1e-2;
constexpr int kTextRoom = 64;

// The library reports failed points as it goes; while a picture is drawn
// those are expected, so the handler keeps the last lines for the one
// failure that is worth telling (the system cannot be created).
std::string &last_messages() {
    static std::string messages;
    return messages;
}

void keep_message(const char *line) {
    std::string &messages = last_messages();
    if (messages.size() > 4096)
        messages.clear();
    messages += line;
    messages += '\n';
}

bool inquire_double(int id, const char *attribute, double &value) {
    char name[kTextRoom];
    std::strcpy(name, attribute);
    char type = MPX_TYPE_DOUBLE;
    return mpx_inq_coord_sys(&id, "projection", name, &type, &value, sizeof value) == 0;
}

bool finite(double a, double b) { return std::isfinite(a) && std::isfinite(b); }

double chord(LonLat a, LonLat b) {
    auto unit = [](LonLat p, double out[3]) {
        double lon = p.lon * kRadiansPerDegree, lat = p.lat * kRadiansPerDegree;
        out[0] = std::cos(lat) * std::cos(lon);
        out[1] = std::cos(lat) * std::sin(lon);
        out[2] = std::sin(lat);
    };
    double u[3], v[3];
    unit(a, u);
    unit(b, v);
    return std::hypot(u[0] - v[0], u[1] - v[1], u[2] - v[2]);
}

MapPoint difference(MapPoint a, MapPoint b, double step) {
    return {(b.x - a.x) / step, (b.y - a.y) / step};
}

} // namespace

std::string database_type(const std::string &projection) {
    char type[kTextRoom] = "";
    const char text_type = MPX_TYPE_STRING;
    if (gdb_set_table("project") != 0 || gdb_set_name_key(projection.c_str()) != 0 ||
        gdb_load("type", &text_type, type) != 0)
        return {};
    std::string keyword = type;
    while (!keyword.empty() && (keyword.back() == '\n' || keyword.back() == '\r'))
        keyword.pop_back();
    return keyword;
}

double LocalScale::largest() const {
    double sum = east.x * east.x + east.y * east.y + north.x * north.x + north.y * north.y;
    double det = area();
    return std::sqrt((sum + std::sqrt(std::max(0.0, sum * sum - 4.0 * det * det))) / 2.0);
}

double LocalScale::smallest() const {
    double big = largest();
    return big > 0.0 ? std::fabs(area()) / big : 0.0;
}

std::string Projector::open(const std::string &datum, const std::string &projection) {
    mpx_install_error(keep_message);
    last_messages().clear();
    geodetic_ = mpx_crelock_coord_sys(datum.c_str(), "GEODETIC", "radians");
    projected_ = mpx_crelock_coord_sys(datum.c_str(), projection.c_str(), "");
    if (geodetic_ < 1 || projected_ < 1)
        return "cannot create " + datum + "," + projection + "\n" + last_messages();
    char name[kTextRoom] = "name";
    char type = MPX_TYPE_STRING;
    char text[kTextRoom] = "";
    // A geodetic or geocentric system has no projection name to give.
    if (mpx_inq_coord_sys(&projected_, "projection", name, &type, text, kTextRoom) != 0 ||
        text[0] == '\0')
        return datum + "," + projection + " is not a projected system";
    double long_cut = 0.0;
    if (inquire_double(projected_, "long_cut", long_cut) && std::isfinite(long_cut))
        west_ = long_cut / kRadiansPerDegree;
    double eccentricity = 0.0;
    if (!inquire_double(projected_, "spheroid.radius", radius_) || !(radius_ > 0.0))
        return datum + "," + projection + " has no radius";
    if (inquire_double(projected_, "spheroid.eccentricity", eccentricity))
        e2_ = eccentricity * eccentricity;
    keyword_ = database_type(projection);
    return {};
}

Projector::~Projector() {
    if (projected_ > 0)
        mpx_delete_coord_sys(&projected_);
    if (geodetic_ > 0)
        mpx_delete_coord_sys(&geodetic_);
}

std::optional<MapPoint> Projector::forward(LonLat p) const {
    double lon = p.lon * kRadiansPerDegree, lat = p.lat * kRadiansPerDegree, z = 0.0;
    double x = 0.0, y = 0.0, h = 0.0;
    mpx_set_source(&geodetic_);
    mpx_set_target(&projected_);
    if (mpx_transform(&lon, &lat, &z, &x, &y, &h) != 0 || !finite(x, y))
        return std::nullopt;
    return MapPoint{x, y};
}

std::optional<LonLat> Projector::backward(MapPoint p) const {
    double z = 0.0, lon = 0.0, lat = 0.0, h = 0.0;
    mpx_set_source(&projected_);
    mpx_set_target(&geodetic_);
    if (mpx_transform(&p.x, &p.y, &z, &lon, &lat, &h) != 0 || !finite(lon, lat))
        return std::nullopt;
    return LonLat{lon / kRadiansPerDegree, lat / kRadiansPerDegree};
}

std::optional<LocalScale> Projector::local_scale(LonLat p) const {
    double step = kDifferenceStep / kRadiansPerDegree;
    double lat = std::clamp(p.lat, -90.0 + kPoleOffset, 90.0 - kPoleOffset);
    double west = west_ + kEdgeInset, east = west_ + 360.0 - kEdgeInset;
    double lon_low = std::max(p.lon - step, west), lon_high = std::min(p.lon + step, east);
    auto w = forward({lon_low, lat}), e = forward({lon_high, lat});
    auto s = forward({p.lon, lat - step}), n = forward({p.lon, lat + step});
    if (!w || !e || !s || !n)
        return std::nullopt;
    double phi = lat * kRadiansPerDegree;
    double sin_phi = std::sin(phi);
    double w2 = 1.0 - e2_ * sin_phi * sin_phi;
    double prime_vertical = radius_ / std::sqrt(w2);
    double meridian = radius_ * (1.0 - e2_) / (w2 * std::sqrt(w2));
    double east_length = prime_vertical * std::cos(phi) * (lon_high - lon_low) * kRadiansPerDegree;
    LocalScale scale;
    scale.east = difference(*w, *e, east_length);
    scale.north = difference(*s, *n, meridian * 2.0 * kDifferenceStep);
    if (!finite(scale.east.x, scale.east.y) || !finite(scale.north.x, scale.north.y))
        return std::nullopt;
    return scale;
}

std::optional<MapPoint> Projector::drawable(LonLat p, LocalScale *scale_out) const {
    // The backward conversion, the slowest where it iterates, goes last.
    std::optional<MapPoint> point = forward(p);
    if (!point)
        return std::nullopt;
    std::optional<LocalScale> scale = local_scale(p);
    if (!scale || !(scale->largest() <= validity.max_scale) ||
        validity.orientation * scale->area() < 0.0)
        return std::nullopt;
    std::optional<LonLat> back = backward(*point);
    if (!back || chord(p, *back) > kRoundTripTolerance)
        return std::nullopt;
    if (scale_out != nullptr)
        *scale_out = *scale;
    return point;
}

} // namespace mpxplot
