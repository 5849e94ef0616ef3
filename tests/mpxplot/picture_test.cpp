// Pictures of mpxplot read back as SVG: a graticule without jumps (a seam
// or a sign error draws a long segment across the map), circles for the
// indicatrices of conformal projections and equal areas for those of
// equal-area ones, the same text from run to run, and clear failures.
#include "tests/common/shell.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Longest printed graticule segment, in pixels: mpxplot refines lines to
// 2 pixels and joins straight runs up to 16.
constexpr double kLongestSegment = 16.5;
// Coarse outline grid and no coastline keep a picture quick to draw.
constexpr char kQuick[] = " --cells 90 --no-coastline ";

// A file in the running test's own folder: CTest runs the tests side by
// side, and on Windows a file one of them writes is locked for the other.
std::string scratch(const std::string &name) {
    const char *tmp = std::getenv("MPX_TEST_TMP");
    std::string dir = std::string(tmp != nullptr ? tmp : ".") + "/mpxplot/" +
                      testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::create_directories(dir);
    return dir + "/" + name;
}

struct Outcome {
    int status = -1;
    std::string err;
};

Outcome run_mpxplot(const std::string &args) {
    std::string err = scratch("stderr.txt");
#ifdef _WIN32
    constexpr char kNoOutput[] = "NUL";
#else
    constexpr char kNoOutput[] = "/dev/null";
#endif
    std::string command = "\"" MPX_BINARY_DIR "bin/mpxplot\" --db " MPX_SOURCE_DIR "data/ " + args +
                          " > " + kNoOutput + " 2> \"" + err + "\"";
    Outcome run;
    run.status = test_support::run_shell(command);
    run.err = test_support::file_bytes(err);
    return run;
}

// The text of one layer, between <g id="..." and its </g>.
std::string layer(const std::string &svg, const std::string &id) {
    std::size_t start = svg.find("<g id=\"" + id + "\"");
    if (start == std::string::npos)
        return {};
    return svg.substr(start, svg.find("</g>", start) - start);
}

// Every value of attribute `name` in order, as numbers.
std::vector<double> attribute_values(const std::string &text, const std::string &name) {
    std::vector<double> values;
    std::string key = " " + name + "=\"";
    for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + 1))
        values.push_back(std::strtod(text.c_str() + at + key.size(), nullptr));
    return values;
}

struct Segment {
    double length;
    std::string where;
};

Segment longest_segment(const std::string &group) {
    Segment longest{0.0, ""};
    std::string key = "points=\"";
    for (std::size_t at = group.find(key); at != std::string::npos; at = group.find(key, at + 1)) {
        std::istringstream points(
            group.substr(at + key.size(), group.find('"', at + key.size()) - at - key.size()));
        double x0 = 0, y0 = 0, x, y;
        char comma;
        bool first = true;
        while (points >> x >> comma >> y) {
            double length = first ? 0.0 : std::hypot(x - x0, y - y0);
            if (length > longest.length)
                longest = {length, std::to_string(x0) + "," + std::to_string(y0) + " to " +
                                       std::to_string(x) + "," + std::to_string(y)};
            x0 = x, y0 = y, first = false;
        }
    }
    return longest;
}

std::string picture(const std::string &system, const std::string &options) {
    std::string file = scratch(system.substr(system.find(',') + 1) + ".svg");
    Outcome run = run_mpxplot(system + options + " -o " + file);
    EXPECT_EQ(run.status, 0) << system << ": " << run.err;
    return test_support::file_bytes(file);
}

TEST(MpxplotPicture, GalleryPicturesHaveEveryLayerAndNoJumpInTheGraticule) {
    std::string page = scratch("gallery.md");
    Outcome run = run_mpxplot(std::string(kQuick) + "--tissot 0 --gallery " + page);
    ASSERT_EQ(run.status, 0) << run.err;
    std::string markdown = test_support::file_bytes(page);
    int pictures = 0;
    for (std::size_t at = markdown.find("\n## "); at != std::string::npos;
         at = markdown.find("\n## ", at + 1)) {
        std::string keyword = markdown.substr(at + 4, markdown.find('\n', at + 4) - at - 4);
        std::string svg = test_support::file_bytes(scratch("gallery/" + keyword + ".svg"));
        for (const char *id : {"outline", "graticule", "coastline", "tissot", "title"})
            EXPECT_NE(svg.find(std::string("<g id=\"") + id + "\""), std::string::npos)
                << keyword << " has no layer " << id;
        Segment longest = longest_segment(layer(svg, "graticule"));
        EXPECT_LE(longest.length, kLongestSegment) << keyword << ": " << longest.where;
        ++pictures;
    }
    // Every installed base projection has a system in the bundled database.
    EXPECT_EQ(markdown.find("without a system"), std::string::npos) << markdown;
    EXPECT_GE(pictures, 26);
}

struct Case {
    const char *system;
    const char *area; // W,E,S,N in degrees around the system's own area
};

// Indicatrices every 5 degrees over each system's area: their semi-axes.
void indicatrices(const Case &c, std::vector<double> &rx, std::vector<double> &ry) {
    std::string svg = picture(c.system, std::string(kQuick) + "--tissot 5 --area " + c.area);
    std::string tissot = layer(svg, "tissot");
    rx = attribute_values(tissot, "rx");
    ry = attribute_values(tissot, "ry");
    EXPECT_GE(rx.size(), 4u) << c.system;
    ASSERT_EQ(rx.size(), ry.size());
}

TEST(MpxplotPicture, ConformalProjectionsDrawCircles) {
    const Case cases[] = {
        {"WGS84,WORLD_MERCATOR", "-180,180,-80,80"},
        {"ED50,UTM31N", "-3,9,-60,60"},
        {"OSGB36,BNG", "-10,5,45,65"},
        {"WGS84,UPS_NORTH", "-180,180,60,90"},
        {"RGF93,LAMBERT93", "-10,15,35,55"},
        {"NTF,NTF_LAMBERT_II", "-10,15,35,55"},
        // Spherical formulas: conformal on the sphere, not on an ellipsoid.
        // Away from the seam between the two cones, smoothed without
        // keeping angles (Snyder eqs. 17-19 to 17-21).
        {"SPHERE,BIPOLAR_AMERICAS", "-125,-95,30,50"},
        {"AMERSFOORT,RD_NEW", "-5,15,45,60"},
        {"CH1903,LV03", "0,15,40,52"},
        {"TIMBALAI1948,RSO_BORNEO", "105,125,-5,10"},
        {"TANANARIVE,LABORDE_GRID", "40,55,-30,-10"},
        {"NZGD49,NZMG", "165,180,-48,-33"},
        {"NAD27,GS50", "-130,-60,20,55"},
        {"WGS84,ALASKA_ZONE1", "-145,-125,50,62"},
    };
    for (const Case &c : cases) {
        std::vector<double> rx, ry;
        indicatrices(c, rx, ry);
        for (std::size_t k = 0; k < rx.size(); ++k)
            EXPECT_NEAR(ry[k] / rx[k], 1.0, 1e-3) << c.system << " indicatrix " << k;
    }
}

TEST(MpxplotPicture, EqualAreaProjectionsDrawEqualAreas) {
    const Case cases[] = {
        {"WGS84,CONUS_ALBERS", "-130,-60,20,55"},      {"ETRS89,ETRS89_LAEA", "-30,40,30,75"},
        {"ATIG,BONNE_FRANCE", "-10,15,35,55"},         {"WGS84,WORLD_MOLLWEIDE", "-175,175,-85,85"},
        {"WGS84,WORLD_SINUSOIDAL", "-175,175,-85,85"}, {"WGS84,WORLD_ECKERT4", "-175,175,-85,85"},
        {"WGS84,WORLD_ECKERT6", "-175,175,-85,85"},
    };
    for (const Case &c : cases) {
        std::vector<double> rx, ry;
        indicatrices(c, rx, ry);
        for (std::size_t k = 1; k < rx.size(); ++k)
            EXPECT_NEAR(rx[k] * ry[k] / (rx[0] * ry[0]), 1.0, 1e-3)
                << c.system << " indicatrix " << k;
    }
}

TEST(MpxplotPicture, APictureIsTheSameTextFromRunToRun) {
    std::string first = picture("NTF,NTF_LAMBERT_I", " --cells 90 ");
    std::string second = picture("NTF,NTF_LAMBERT_I", " --cells 90 ");
    EXPECT_GT(first.size(), 10000u);
    EXPECT_EQ(first, second);
}

TEST(MpxplotPicture, FailuresAreToldAndLeaveNoPicture) {
    Outcome unknown = run_mpxplot("WGS84,NO_SUCH_GRID -o " + scratch("unknown.svg"));
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("mpxplot: cannot create WGS84,NO_SUCH_GRID"), std::string::npos)
        << unknown.err;
    EXPECT_FALSE(std::ifstream(scratch("unknown.svg")).good());
    Outcome geodetic = run_mpxplot("WGS84,GEODETIC -o " + scratch("geodetic.svg"));
    EXPECT_EQ(geodetic.status, 2);
    EXPECT_NE(geodetic.err.find("is not a projected system"), std::string::npos) << geodetic.err;

    Outcome usage = run_mpxplot("WGS84,UTM31N");
    EXPECT_EQ(usage.status, 1);
    EXPECT_NE(usage.err.find("a coordinate system and -o FILE.svg are needed"), std::string::npos);
    Outcome area = run_mpxplot("WGS84,UTM31N --area 10,0,0,10 -o " + scratch("area.svg"));
    EXPECT_EQ(area.status, 1);
    EXPECT_NE(area.err.find("--area needs W,E,S,N"), std::string::npos);

    std::string bad = scratch("bad_coastline.txt");
    std::ofstream(bad) << "# a comment\n>\n10 20\n10 north\n";
    Outcome coast = run_mpxplot("WGS84,UTM31N --coastline " + bad + " -o " + scratch("coast.svg"));
    EXPECT_EQ(coast.status, 1);
    EXPECT_NE(coast.err.find(bad + ":4: not \"longitude latitude\""), std::string::npos)
        << coast.err;
}

} // namespace
