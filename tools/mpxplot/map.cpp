#include "map.hpp"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

namespace mpxplot {
namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
// Kept inside the longitude window, as the projector does (degrees).
constexpr double kEdgeInset = 1e-7;
// Largest cell of the grid on which the drawable area is found (degrees).
constexpr double kLargestCell = 1.0;
// Halvings of a segment that is still too long on the map: 24 halvings of
// a grid cell reach about 1e-7 degree, where a jump that remains is a
// discontinuity of the projection and is drawn as one.
constexpr int kMaxRefinements = 24;
// Halvings that find where a line leaves the drawable area: 1e-6 of a
// cell, a tenth of a metre at most.
constexpr int kBoundaryHalvings = 20;
// Two map points closer than this fraction of the map's size are one.
constexpr double kSameEdge = 1e-6;
// Radius of an indicatrix as a fraction of the spacing of their centres.
constexpr double kTissotFraction = 0.12;

LonLat between(LonLat a, LonLat b, double t) {
    return {a.lon + (b.lon - a.lon) * t, a.lat + (b.lat - a.lat) * t};
}

double distance(MapPoint a, MapPoint b) { return std::hypot(b.x - a.x, b.y - a.y); }

// The last drawable point from `inside` (drawn at `inside_point`) towards
// `outside`, found by halving.
std::pair<LonLat, MapPoint> last_drawable(const Projector &projector, LonLat inside,
                                          MapPoint inside_point, LonLat outside) {
    MapPoint last = inside_point;
    for (int i = 0; i < kBoundaryHalvings; ++i) {
        LonLat middle = between(inside, outside, 0.5);
        if (std::optional<MapPoint> m = projector.drawable(middle)) {
            inside = middle;
            last = *m;
        } else {
            outside = middle;
        }
    }
    return {inside, last};
}

// Builds the polylines of one path at a time, refining and splitting.
class Tracer {
  public:
    Tracer(const Projector &projector, double longest) : p_(projector), longest_(longest) {}

    void trace(const Path &path, std::vector<Polyline> &out) {
        out_ = &out;
        line_.clear();
        std::optional<MapPoint> previous;
        for (std::size_t i = 0; i < path.size(); ++i) {
            std::optional<MapPoint> here = p_.drawable(path[i]);
            if (i == 0) {
                if (here)
                    line_.push_back(*here);
            } else {
                step(path[i - 1], previous, path[i], here, 0);
            }
            previous = here;
        }
        finish();
    }

  private:
    void finish() {
        if (line_.size() >= 2)
            out_->push_back(line_);
        line_.clear();
    }

    std::pair<LonLat, MapPoint> boundary(LonLat inside, MapPoint inside_point, LonLat outside) {
        return last_drawable(p_, inside, inside_point, outside);
    }

    void step(LonLat a, std::optional<MapPoint> pa, LonLat b, std::optional<MapPoint> pb,
              int depth) {
        if (!pa && !pb)
            return;
        if (pa && !pb) {
            auto [q, pq] = boundary(a, *pa, b);
            step(a, pa, q, pq, depth);
            finish();
            return;
        }
        if (!pa) {
            finish();
            auto [q, pq] = boundary(b, *pb, a);
            line_.push_back(pq);
            step(q, pq, b, pb, depth);
            return;
        }
        if (distance(*pa, *pb) <= longest_ || depth >= kMaxRefinements) {
            line_.push_back(*pb);
            return;
        }
        LonLat m = between(a, b, 0.5);
        std::optional<MapPoint> pm = p_.drawable(m);
        step(a, pa, m, pm, depth + 1);
        step(m, pm, b, pb, depth + 1);
    }

    const Projector &p_;
    double longest_;
    std::vector<Polyline> *out_ = nullptr;
    Polyline line_;
};

// The drawable nodes of a regular grid over the area, and the outline of
// their region by marching squares, each crossing found by halving.
class Grid {
  public:
    Grid(Projector &projector, const MapOptions &o) : p_(projector), o_(o) {
        double cell = std::min(kLargestCell, std::max(o.east - o.west, o.north - o.south) /
                                                 std::max(1, o.grid_cells));
        nx_ = std::max(1, static_cast<int>(std::ceil((o.east - o.west) / cell)));
        ny_ = std::max(1, static_cast<int>(std::ceil((o.north - o.south) / cell)));
        points_.resize(static_cast<std::size_t>((nx_ + 1) * (ny_ + 1)));
        std::vector<double> areas(points_.size());
        for (int j = 0; j <= ny_; ++j)
            for (int i = 0; i <= nx_; ++i) {
                LocalScale scale;
                auto &slot = points_[index(i, j)];
                slot = p_.drawable(node(i, j), &scale);
                areas[index(i, j)] = scale.area();
                if (slot && (!found_ || distortion(scale) < distortion(best_))) {
                    found_ = true;
                    best_ = scale;
                }
            }
        // From here on the map keeps the orientation of its least distorted
        // place.
        projector.validity.orientation = best_.area() < 0.0 ? -1 : 1;
        for (std::size_t k = 0; k < points_.size(); ++k)
            if (points_[k] && projector.validity.orientation * areas[k] < 0.0)
                points_[k].reset();
        periodic_ = o.whole_window && edges_meet();
    }

    bool found() const { return found_; }
    const LocalScale &best() const { return best_; }
    double cell_lon() const { return (o_.east - o_.west) / nx_; }
    double cell_lat() const { return (o_.north - o_.south) / ny_; }

    void extent(Map &map) const {
        bool first = true;
        for (const auto &slot : points_) {
            if (!slot)
                continue;
            if (first) {
                map.min_x = map.max_x = slot->x;
                map.min_y = map.max_y = slot->y;
                first = false;
            }
            map.min_x = std::min(map.min_x, slot->x);
            map.max_x = std::max(map.max_x, slot->x);
            map.min_y = std::min(map.min_y, slot->y);
            map.max_y = std::max(map.max_y, slot->y);
        }
    }

    // Closed outlines of the drawable region (the grid is surrounded by a
    // ring of nodes that count as outside, so every contour closes).
    std::vector<Polyline> outline() {
        std::map<long, std::vector<long>> links; // edge -> neighbouring edges
        for (int j = -1; j <= ny_; ++j)
            for (int i = periodic_ ? 0 : -1; i < (periodic_ ? nx_ : nx_ + 1); ++i)
                cell_segments(i, j, links);
        std::vector<Polyline> lines;
        std::map<long, bool> used;
        for (const auto &[start, next] : links) {
            if (used[start])
                continue;
            Polyline line;
            long edge = start, previous = -1;
            while (!used[edge]) {
                used[edge] = true;
                line.push_back(crossing(edge));
                const std::vector<long> &around = links[edge];
                long following = -1;
                for (long candidate : around)
                    if (candidate != previous && !used[candidate]) {
                        following = candidate;
                        break;
                    }
                if (following < 0)
                    break;
                previous = edge;
                edge = following;
            }
            line.push_back(line.front());
            lines.push_back(std::move(line));
        }
        return lines;
    }

  private:
    LonLat node(int i, int j) const {
        double lon = i == nx_ ? o_.east : o_.west + (o_.east - o_.west) * i / nx_;
        double lat = j == ny_ ? o_.north : o_.south + (o_.north - o_.south) * j / ny_;
        return {lon, lat};
    }
    std::size_t index(int i, int j) const { return static_cast<std::size_t>(j * (nx_ + 1) + i); }
    // Whether the window's western and eastern edges are one line on the
    // map (an azimuthal or polar map): the outline then does not follow
    // them, and the grid wraps around in longitude.
    bool edges_meet() const {
        double size = 0.0;
        for (const auto &slot : points_)
            if (slot)
                size = std::max({size, std::fabs(slot->x), std::fabs(slot->y)});
        bool any = false;
        for (int j = 0; j <= ny_; ++j) {
            const auto &west = points_[index(0, j)], &east = points_[index(nx_, j)];
            if (west.has_value() != east.has_value())
                return false;
            if (west && distance(*west, *east) > kSameEdge * size)
                return false;
            any = any || west.has_value();
        }
        return any;
    }
    int wrapped(int i) const { return periodic_ ? ((i % nx_) + nx_) % nx_ : i; }
    bool inside(int i, int j) const {
        i = wrapped(i);
        return i >= 0 && j >= 0 && i <= nx_ && j <= ny_ && points_[index(i, j)].has_value();
    }
    static double distortion(const LocalScale &s) {
        double small = s.smallest();
        return small > 0.0 ? s.largest() / small + s.largest() + 1.0 / small : 1e300;
    }

    // Edge keys: node (i, j) with direction 0 (towards i + 1) or 1 (towards
    // j + 1); nodes of the outer ring have i or j of -1 or n + 1.
    long key(int i, int j, int direction) const {
        i = wrapped(i);
        return ((static_cast<long>(j) + 1) * (nx_ + 3) + (i + 1)) * 2 + direction;
    }
    void decode(long k, int &i, int &j, int &direction) const {
        direction = static_cast<int>(k % 2);
        long n = k / 2;
        i = static_cast<int>(n % (nx_ + 3)) - 1;
        j = static_cast<int>(n / (nx_ + 3)) - 1;
    }

    MapPoint crossing(long edge) {
        int i, j, direction;
        decode(edge, i, j, direction);
        int i2 = direction == 0 ? i + 1 : i, j2 = direction == 0 ? j : j + 1;
        bool first_inside = inside(i, j);
        int ii = first_inside ? i : i2, ji = first_inside ? j : j2;
        int io = first_inside ? i2 : i, jo = first_inside ? j2 : j;
        MapPoint last = *points_[index(ii, ji)];
        if (io < 0 || jo < 0 || io > nx_ || jo > ny_)
            return last;
        return last_drawable(p_, node(ii, ji), last, node(io, jo)).second;
    }

    void cell_segments(int i, int j, std::map<long, std::vector<long>> &links) const {
        // Corners counter-clockwise from (i, j); edges bottom, right, top, left.
        bool c[4] = {inside(i, j), inside(i + 1, j), inside(i + 1, j + 1), inside(i, j + 1)};
        long e[4] = {key(i, j, 0), key(i + 1, j, 1), key(i, j + 1, 0), key(i, j, 1)};
        std::vector<long> crossed;
        for (int k = 0; k < 4; ++k)
            if (c[k] != c[(k + 1) % 4])
                crossed.push_back(e[k]);
        // Two crossings join; four (a saddle) join in edge order, which
        // keeps the inside corners apart.
        for (std::size_t k = 0; k + 1 < crossed.size(); k += 2) {
            std::size_t a = k, b = k + 1;
            if (crossed.size() == 4 && c[0]) {
                a = k == 0 ? 0 : 2;
                b = k == 0 ? 3 : 1;
            }
            links[crossed[a]].push_back(crossed[b]);
            links[crossed[b]].push_back(crossed[a]);
        }
    }

    const Projector &p_;
    const MapOptions &o_;
    int nx_ = 1, ny_ = 1;
    std::vector<std::optional<MapPoint>> points_;
    bool found_ = false;
    bool periodic_ = false;
    LocalScale best_;
};

std::vector<double> multiples(double step, double low, double high, bool keep_ends) {
    std::vector<double> values;
    if (!(step > 0.0))
        return values;
    for (double k = std::ceil(low / step); k * step <= high; k += 1.0) {
        double v = k * step;
        bool end = std::fabs(v - low) < 1e-9 || std::fabs(v - high) < 1e-9;
        if (keep_ends || !end)
            values.push_back(v);
    }
    return values;
}

Path along(LonLat a, LonLat b, double spacing) {
    int n =
        std::max(1, static_cast<int>(std::ceil(
                        std::max(std::fabs(b.lon - a.lon), std::fabs(b.lat - a.lat)) / spacing)));
    Path path;
    for (int k = 0; k <= n; ++k)
        path.push_back(between(a, b, static_cast<double>(k) / n));
    return path;
}

// A coastline in the longitude window: split where it crosses the window's
// edge, the crossing put on both edges.
std::vector<Path> into_window(const Path &path, double west, double east) {
    std::vector<Path> pieces(1);
    auto wrap = [&](double lon) {
        double span = east - west;
        double wrapped = std::fmod(lon - west, 360.0);
        if (wrapped < 0)
            wrapped += 360.0;
        return std::min(west + wrapped, west + span);
    };
    for (std::size_t k = 0; k < path.size(); ++k) {
        LonLat here{wrap(path[k].lon), path[k].lat};
        if (k > 0) {
            LonLat before{wrap(path[k - 1].lon), path[k - 1].lat};
            double step = here.lon - before.lon;
            if (std::fabs(step) > 180.0) {
                double unwrapped = step > 0 ? step - 360.0 : step + 360.0;
                double edge = unwrapped > 0 ? east : west;
                double t = (edge - before.lon) / unwrapped;
                double lat = before.lat + (here.lat - before.lat) * t;
                pieces.back().push_back({edge, lat});
                pieces.push_back({{unwrapped > 0 ? west : east, lat}});
            }
        }
        pieces.back().push_back(here);
    }
    return pieces;
}

} // namespace

std::string draw_map(Projector &projector, const MapOptions &given,
                     const std::vector<Path> &coastline, Map &map) {
    MapOptions o = given;
    double window_west = projector.west() + kEdgeInset;
    double window_east = projector.west() + 360.0 - kEdgeInset;
    if (o.whole_window) {
        o.west = window_west;
        o.east = window_east;
    } else {
        // Into the window, an edge that is the window's own kept in place.
        while (o.west < window_west - 2 * kEdgeInset)
            o.west += 360.0, o.east += 360.0;
        while (o.west >= window_east)
            o.west -= 360.0, o.east -= 360.0;
        o.west = std::max(o.west, window_west);
        o.east = std::min(o.east, window_east);
    }
    if (!(o.west < o.east && o.south < o.north))
        return "the area drawn is empty";
    Grid grid(projector, o);
    if (!grid.found())
        return "no point of the area can be drawn";
    grid.extent(map);
    map.central_scale = grid.best();
    double longest = std::max(map.max_x - map.min_x, map.max_y - map.min_y) * o.segment_fraction;
    Tracer tracer(projector, longest);
    double spacing = std::min(grid.cell_lon(), grid.cell_lat());

    for (double lon : multiples(o.graticule_step, o.west, o.east, false))
        tracer.trace(along({lon, o.south}, {lon, o.north}, spacing), map.graticule);
    for (double lat : multiples(o.graticule_step, o.south, o.north, true))
        if (std::fabs(lat) < 90.0)
            tracer.trace(along({o.west, lat}, {o.east, lat}, spacing), map.graticule);
    map.outline = grid.outline();
    for (const Path &path : coastline)
        for (const Path &piece : into_window(path, window_west, window_east))
            tracer.trace(piece, map.coastline);

    map.tissot_radius = projector.radius() * o.tissot_step * kRadiansPerDegree * kTissotFraction;
    for (double lat : multiples(o.tissot_step, o.south, o.north, true)) {
        if (std::fabs(lat) >= 90.0)
            continue;
        for (double lon : multiples(o.tissot_step, o.west, o.east, false)) {
            Indicatrix t;
            t.place = {lon, lat};
            if (std::optional<MapPoint> c = projector.drawable(t.place, &t.scale)) {
                t.centre = *c;
                map.tissot.push_back(t);
            }
        }
    }
    return {};
}

} // namespace mpxplot
