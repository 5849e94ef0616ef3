// One projected system of the database seen through the public interface:
// the forward and backward conversions from and to geodetic coordinates on
// its own datum, which points count as drawable, and the local scale that
// Tissot's indicatrix shows.
#pragma once

#include <optional>
#include <string>

namespace mpxplot {

// Degrees of longitude and latitude.
struct LonLat {
    double lon = 0.0, lat = 0.0;
};

// Map coordinates in the system's unit, axes as the system orders them.
struct MapPoint {
    double x = 0.0, y = 0.0;
};

// The differential of the forward conversion at one point: the map images
// of a unit step east and a unit step north on the ellipsoid (map units
// per ground unit, the ground measured in the projection's own unit).
struct LocalScale {
    MapPoint east, north;
    double area() const { return east.x * north.y - east.y * north.x; }
    double largest() const;
    double smallest() const;
};

// What makes a point drawable.
struct Validity {
    // Largest linear scale drawn: the map of a projection whose scale grows
    // without bound (Mercator's poles, the gnomonic's horizon) stops there.
    double max_scale = 10.0;
    // Sign of the area scale where the map is drawn (0: either): where a
    // projection folds over (a polynomial far from its area), the
    // overlapping sheet has the other sign and is left out.
    int orientation = 0;
};

// The "type" column of a "project" record: the keyword of its projection.
std::string database_type(const std::string &projection);

class Projector {
  public:
    // Creates DATUM,PROJECTION and DATUM,GEODETIC (radians). Empty error
    // text on success; the library's own messages are in `error` otherwise.
    std::string open(const std::string &datum, const std::string &projection);
    ~Projector();
    Projector() = default;
    Projector(const Projector &) = delete;
    Projector &operator=(const Projector &) = delete;

    // Western edge of the longitude window in degrees (the projection's
    // "long_cut", or -180 when it has none).
    double west() const { return west_; }
    const std::string &keyword() const { return keyword_; }
    // Semi-major axis of the projection's ellipsoid, in its unit.
    double radius() const { return radius_; }
    int id() const { return projected_; }

    // The map point of a geodetic point, when the library converts it.
    std::optional<MapPoint> forward(LonLat p) const;
    // The geodetic point of a map point, when the library converts it.
    std::optional<LonLat> backward(MapPoint p) const;
    // Finite differences of the forward conversion; none where a step fails.
    std::optional<LocalScale> local_scale(LonLat p) const;
    // The map point where the forward conversion succeeds, the backward one
    // returns the same place and the scale stays within the limit.
    std::optional<MapPoint> drawable(LonLat p, LocalScale *scale = nullptr) const;

    Validity validity;

  private:
    int projected_ = 0, geodetic_ = 0;
    double west_ = -180.0;
    double radius_ = 1.0, e2_ = 0.0;
    std::string keyword_;
};

} // namespace mpxplot
