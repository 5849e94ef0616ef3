#include "svg.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

namespace mpxplot {
namespace {

constexpr double kMargin = 12.0;
constexpr double kTitleLine = 16.0;
constexpr double kHeadingLine = 22.0;
constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;
// Pixels a dropped point may lie off its straight run.
constexpr double kFlatness = 0.2;
// Longest straight run printed as one segment, in pixels.
constexpr double kLongestRun = 16.0;

// From map coordinates to pixels: y grows downwards on the page. A system
// whose first coordinate is the northing (the east step maps mostly to y,
// orientation reversed) is drawn with its axes exchanged, east to the right.
bool axes_exchanged(const Map &map) {
    return map.central_scale.area() < 0.0 &&
           std::fabs(map.central_scale.east.y) > std::fabs(map.central_scale.east.x);
}

class Frame {
  public:
    Frame(const Map &map, const PictureSize &size, double top) : top_(top) {
        swap_ = axes_exchanged(map);
        double min_x = swap_ ? map.min_y : map.min_x, max_x = swap_ ? map.max_y : map.max_x;
        double min_y = swap_ ? map.min_x : map.min_y, max_y = swap_ ? map.max_x : map.max_y;
        double dx = std::max(max_x - min_x, 1e-300), dy = std::max(max_y - min_y, 1e-300);
        scale_ = std::min(size.width / dx, size.height / dy);
        min_x_ = min_x;
        max_y_ = max_y;
        width_ = dx * scale_ + 2 * kMargin;
        height_ = dy * scale_ + 2 * kMargin + top;
    }
    bool swapped() const { return swap_; }
    double scale() const { return scale_; }
    double width() const { return width_; }
    double height() const { return height_; }
    void place(MapPoint p, double &px, double &py) const {
        double x = swap_ ? p.y : p.x, y = swap_ ? p.x : p.y;
        px = kMargin + (x - min_x_) * scale_;
        py = top_ + kMargin + (max_y_ - y) * scale_;
    }
    MapPoint page_vector(MapPoint v) const {
        double x = swap_ ? v.y : v.x, y = swap_ ? v.x : v.y;
        return {x * scale_, -y * scale_};
    }

  private:
    bool swap_ = false;
    double scale_ = 1.0, min_x_ = 0.0, max_y_ = 0.0, width_ = 0.0, height_ = 0.0, top_ = 0.0;
};

void append(std::string &out, const char *format, auto... values) {
    char buffer[256];
    int n = std::snprintf(buffer, sizeof buffer, format, values...);
    if (n > 0)
        out.append(buffer, std::min(static_cast<std::size_t>(n), sizeof buffer - 1));
}

std::string escaped(const std::string &text) {
    std::string out;
    for (char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
    return out;
}

struct Pixel {
    double x, y;
};

// Drops the points that lie within kFlatness of a straight run, keeping
// every printed segment at most kLongestRun long: a line that jumps (a
// seam, a sign error) stays one long segment that tests can find.
std::vector<Pixel> simplified(const Frame &frame, const Polyline &line) {
    std::vector<Pixel> pixels, kept;
    for (MapPoint p : line) {
        Pixel px;
        frame.place(p, px.x, px.y);
        pixels.push_back(px);
    }
    std::size_t start = 0;
    if (!pixels.empty())
        kept.push_back(pixels[0]);
    while (start + 1 < pixels.size()) {
        std::size_t end = start + 1;
        while (end + 1 < pixels.size()) {
            Pixel a = pixels[start], b = pixels[end + 1];
            double length = std::hypot(b.x - a.x, b.y - a.y);
            bool straight = length <= kLongestRun;
            for (std::size_t k = start + 1; straight && k <= end; ++k) {
                double cross =
                    (b.x - a.x) * (pixels[k].y - a.y) - (b.y - a.y) * (pixels[k].x - a.x);
                straight = std::fabs(cross) <= kFlatness * length;
            }
            if (!straight)
                break;
            ++end;
        }
        kept.push_back(pixels[end]);
        start = end;
    }
    return kept;
}

void polyline_points(std::string &out, const Frame &frame, const Polyline &line, bool move) {
    std::vector<Pixel> pixels = simplified(frame, line);
    for (std::size_t k = 0; k < pixels.size(); ++k) {
        if (move)
            append(out, k == 0 ? "M%.1f %.1f" : "L%.1f %.1f", pixels[k].x, pixels[k].y);
        else
            append(out, k == 0 ? "%.1f,%.1f" : " %.1f,%.1f", pixels[k].x, pixels[k].y);
    }
}

void lines_group(std::string &out, const char *id, const char *style, const Frame &frame,
                 const std::vector<Polyline> &lines) {
    append(out, "<g id=\"%s\" %s>\n", id, style);
    for (const Polyline &line : lines) {
        if (line.size() < 2)
            continue;
        out += "<polyline points=\"";
        polyline_points(out, frame, line, false);
        out += "\"/>\n";
    }
    out += "</g>\n";
}

// Semi-axes and the direction of the major one (degrees, clockwise on the
// page) of the image of a circle of radius r under the local scale.
void ellipse(const LocalScale &s, const Frame &frame, double r, double &rx, double &ry,
             double &angle) {
    MapPoint east = frame.page_vector(s.east), north = frame.page_vector(s.north);
    // A A^T of the page matrix [east north], scaled by r.
    double a = (east.x * east.x + north.x * north.x) * r * r;
    double b = (east.x * east.y + north.x * north.y) * r * r;
    double c = (east.y * east.y + north.y * north.y) * r * r;
    double mean = (a + c) / 2.0, spread = std::hypot((a - c) / 2.0, b);
    rx = std::sqrt(mean + spread);
    ry = std::sqrt(std::max(0.0, mean - spread));
    angle = 0.5 * std::atan2(2.0 * b, a - c) * kDegreesPerRadian;
}

} // namespace

std::string svg_text(const Map &map, const Title &title, const PictureSize &size) {
    std::size_t lines = title.lines.size() + (axes_exchanged(map) ? 1 : 0);
    double top = kHeadingLine + kTitleLine * static_cast<double>(lines) + kMargin;
    Frame frame(map, size, top);
    // A narrow map (a Transverse Mercator zone) still shows its whole
    // title: widths of the bold 16-pixel and the 12-pixel sans-serif
    // characters, estimated generously.
    std::size_t longest = 0;
    for (const std::string &line : title.lines)
        longest = std::max(longest, line.size());
    double page_width =
        std::max({frame.width(), 2 * kMargin + 10.0 * static_cast<double>(title.heading.size()),
                  2 * kMargin + 7.0 * static_cast<double>(longest)});
    std::string out;
    append(out,
           "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" "
           "viewBox=\"0 0 %.0f %.0f\">\n",
           std::ceil(page_width), std::ceil(frame.height()), std::ceil(page_width),
           std::ceil(frame.height()));
    out += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";

    out += "<g id=\"outline\" fill=\"#eef4fa\" fill-rule=\"evenodd\" stroke=\"#1f3f5f\" "
           "stroke-width=\"1.2\">\n<path d=\"";
    for (const Polyline &line : map.outline) {
        polyline_points(out, frame, line, true);
        out += "Z";
    }
    out += "\"/>\n</g>\n";
    lines_group(out, "graticule", "fill=\"none\" stroke=\"#9aa8b8\" stroke-width=\"0.6\"", frame,
                map.graticule);
    lines_group(out, "coastline", "fill=\"none\" stroke=\"#2e6b30\" stroke-width=\"0.8\"", frame,
                map.coastline);

    out += "<g id=\"tissot\" fill=\"#d04020\" fill-opacity=\"0.35\" stroke=\"#a02810\" "
           "stroke-width=\"0.6\">\n";
    for (const Indicatrix &t : map.tissot) {
        double cx, cy, rx, ry, angle;
        frame.place(t.centre, cx, cy);
        ellipse(t.scale, frame, map.tissot_radius, rx, ry, angle);
        append(out,
               "<ellipse cx=\"%.2f\" cy=\"%.2f\" rx=\"%.4f\" ry=\"%.4f\" "
               "transform=\"rotate(%.3f %.2f %.2f)\" data-lon=\"%g\" data-lat=\"%g\"/>\n",
               cx, cy, rx, ry, angle, cx, cy, t.place.lon, t.place.lat);
    }
    out += "</g>\n";

    out += "<g id=\"title\" font-family=\"sans-serif\" fill=\"#202020\">\n";
    double y = kMargin + kHeadingLine - 6.0;
    append(out, "<text x=\"%.0f\" y=\"%.0f\" font-size=\"16\" font-weight=\"bold\">", kMargin, y);
    out += escaped(title.heading) + "</text>\n";
    for (const std::string &line : title.lines) {
        y += kTitleLine;
        append(out, "<text x=\"%.0f\" y=\"%.0f\" font-size=\"12\">", kMargin, y);
        out += escaped(line) + "</text>\n";
    }
    if (frame.swapped()) {
        y += kTitleLine;
        append(out, "<text x=\"%.0f\" y=\"%.0f\" font-size=\"12\">", kMargin, y);
        out += "drawn with the axes exchanged: the first coordinate is the northing</text>\n";
    }
    out += "</g>\n</svg>\n";
    return out;
}

} // namespace mpxplot
