// Hostile points through every installed base projection, found by walking
// the registry (so a newly installed projection is swept without a line
// here), then through the pipeline and the array form for the bundled
// cylindrical systems: a routine may refuse a point, but a status of 0
// always comes with finite coordinates.
#include "tests/proj/support.hpp"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <numbers>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDegree = kPi / 180.0;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Attribute values that make a sane record wherever the attribute exists:
// WGS 84, unit scale, and parallels and coefficients for the projections
// whose all-zero record is degenerate (a cone with both standard parallels
// on the equator, a polynomial with no terms).
struct Setting {
    const char *attribute;
    double value; // radians for angles
};
const Setting kDefaults[] = {
    {"spheroid.radius", 6378137.0},
    {"spheroid.eccentricity", 0.0818191908426215},
    {"scale_factor", 1.0},
    {"first_paral", 30 * kDegree},
    {"second_paral", 60 * kDegree},
    {"num_const", 1},
    {"coeff_a1", 1.0},
};

// Per keyword, on top of the defaults: the place to give a projection whose
// record is still degenerate its own sane values (Bonne's standard parallel
// on the equator divides by its tangent). A projection whose init refuses
// the record fails the sweep below with a pointer here.
struct KeywordSetting {
    const char *keyword;
    Setting setting;
};
const KeywordSetting kKeywordDefaults[] = {
    {"bonne", {"centre_lat", 45 * kDegree}},
    // Laborde refuses an origin on the equator: the Madagascar grid.
    {"labordom", {"origin_lat", -18.9 * kDegree}},
    {"labordom", {"origin_long", 46.43722917 * kDegree}},
    {"labordom", {"true_bearing", 18.9 * kDegree}},
    {"labordom", {"tissot_ind", 1.0}},
};

// Writes a 'd' or 'l' attribute by name; false when the record has none.
bool put(proj_test::Instance &p, const Setting &s) {
    const struct_desc &d = *p.entry().descriptor;
    for (int i = 0; i < d.count; ++i) {
        if (std::string(d.attributes[i].name) != s.attribute)
            continue;
        if (d.attributes[i].type == MPX_TYPE_DOUBLE)
            p.set(s.attribute, s.value);
        else if (d.attributes[i].type == MPX_TYPE_LONG)
            p.set(s.attribute, static_cast<std::int32_t>(s.value));
        return true;
    }
    return false;
}

std::vector<std::string> installed_keywords() {
    EXPECT_TRUE(proj_test::base_installed());
    std::vector<std::string> keywords;
    for (int i = 0; i < proj_count(); ++i)
        if (const mpx_proj_entry *e = proj_entry(i); e && e->descriptor)
            keywords.emplace_back(e->descriptor->name);
    return keywords;
}

// Around the origin, the central meridian and the equator (1e-9 either
// side), the poles and just inside them, beyond the poles, a turn and more
// away, huge and non-finite values.
const double kLongitudes[] = {0,   1e-9,    -1e-9, 0.3,   -0.3,   1.5,  -1.5, kPi,  -kPi,
                              3.0, 7 * kPi, 1e9,   1e300, -1e300, kNaN, kInf, -kInf};
const double kLatitudes[] = {0,        1e-9,      -1e-9, 0.7,  -0.7,  kPi / 2, -kPi / 2,
                             1.570796, -1.570796, 1.6,   -2.0, 1e300, kNaN,    -kInf};
// Map coordinates per metre of radius: the origin, a few metres, the
// useful area, far outside it, huge and non-finite values.
const double kMapUnits[] = {0,    1e-9,  -1e-9, 1e-6,   0.3,   -0.3, 1.5,  -1.5, 3.0,
                            20.0, -20.0, 1e3,   -1e300, 1e300, kNaN, kInf, -kInf};

struct Failure {
    std::ostringstream text;
    int count = 0;
    void add(const std::string &what) {
        if (++count <= 20)
            text << what << "\n";
    }
};

std::string point_text(const char *routine, double a, double b, int status, double c, double d) {
    std::ostringstream s;
    s.precision(17);
    s << routine << "(" << a << ", " << b << ") = (" << c << ", " << d << ") status " << status;
    return s.str();
}

TEST(HostileSweep, EveryInstalledProjectionGivesFiniteResultsWithStatusZero) {
    const std::vector<std::string> keywords = installed_keywords();
    ASSERT_FALSE(keywords.empty());
    for (const std::string &keyword : keywords) {
        SCOPED_TRACE(keyword);
        proj_test::Instance p(keyword.c_str());
        for (const Setting &s : kDefaults)
            put(p, s);
        for (const KeywordSetting &k : kKeywordDefaults)
            if (keyword == k.keyword)
                EXPECT_TRUE(put(p, k.setting)) << k.setting.attribute;
        ASSERT_EQ(p.init(), 0) << "give " << keyword << " sane values in kKeywordDefaults";
        constexpr double kRadius = 6378137.0;
        Failure failures;
        std::vector<std::pair<double, double>> images;
        for (double lon : kLongitudes) {
            for (double lat : kLatitudes) {
                double x = 0, y = 0;
                const int status = p.forward(lon, lat, x, y);
                if (status == 0 && !(std::isfinite(x) && std::isfinite(y)))
                    failures.add(point_text("forward", lon, lat, status, x, y));
                if (status == 0)
                    images.emplace_back(x, y);
            }
        }
        for (double u : kMapUnits)
            for (double v : kMapUnits)
                images.emplace_back(u * kRadius, v * kRadius);
        for (const auto &[x, y] : images) {
            double lon = 0, lat = 0;
            const int status = p.backward(x, y, lon, lat);
            if (status == 0 && !(std::isfinite(lon) && std::isfinite(lat)))
                failures.add(point_text("backward", x, y, status, lon, lat));
        }
        EXPECT_EQ(failures.count, 0) << failures.text.str();
    }
}

// Cassini far from its central meridian: the inverse either reproduces the
// point it is given (its forward image within the 1 mm tolerance) or
// refuses it; within the useful area it always succeeds.
TEST(HostileSweep, CassiniInverseRoundTripsOrRefuses) {
    proj_test::Instance p("cassini");
    ASSERT_TRUE(p.valid());
    p.set("spheroid.radius", 6378137.0).set("spheroid.eccentricity", 0.0818191908426215);
    ASSERT_EQ(p.init(), 0);
    constexpr double kTolerance = 1e-3;
    int refused = 0;
    for (double lon_deg : {0.0, 1e-7, -2.0, 5.0, 30.0, 60.0, -60.0, 120.0, 1e9, -1e9}) {
        for (double lat_deg = -89; lat_deg <= 89; lat_deg += 17.8) {
            double x = 0, y = 0, lon = 0, lat = 0, x2 = 0, y2 = 0;
            ASSERT_EQ(p.forward(lon_deg * kDegree, lat_deg * kDegree, x, y), 0);
            const int status = p.backward(x, y, lon, lat);
            if (status != 0) {
                EXPECT_EQ(status, 1);
                EXPECT_GT(std::fabs(lon_deg), 5.0) << "refused in the useful area " << lat_deg;
                ++refused;
                continue;
            }
            ASSERT_EQ(p.forward(lon, lat, x2, y2), 0);
            EXPECT_LE(std::fabs(x2 - x) + std::fabs(y2 - y), kTolerance)
                << lon_deg << " " << lat_deg << " came back as " << lon / kDegree << " "
                << lat / kDegree;
        }
    }
    EXPECT_GT(refused, 0); // the grid does reach points the series cannot invert
}

// The pipeline and the array form over the bundled systems of every
// installed cylindrical projection (the first system of each keyword in
// data/project.dat), both ways and projected to projected.
class PipelineSweep : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("TORVA_ORTIX_DIR", MPX_SOURCE_DIR "data/", 1);
        test_support::collect_errors();
    }
    static std::vector<std::string> bundled_cylindrical_systems() {
        const std::set<std::string> cylindrical{"mercator", "tranmerc", "stm",
                                                "utm",      "placaree", "cassini"};
        std::ifstream file(MPX_SOURCE_DIR "data/project.dat");
        std::set<std::string> seen;
        std::vector<std::string> names;
        std::string line;
        std::getline(file, line); // column names
        while (std::getline(file, line)) {
            std::istringstream fields(line);
            std::string name, type;
            std::getline(fields, name, ',');
            std::getline(fields, type, ',');
            if (cylindrical.count(type) && proj_find(type.c_str()) >= 0 && seen.insert(type).second)
                names.push_back(name);
        }
        return names;
    }
};

TEST_F(PipelineSweep, TransformAndArrayNeverPassANonFiniteCoordinate) {
    const int geodetic = mpx_create_coord_sys("WGS84", "GEODETIC", "radians");
    ASSERT_GT(geodetic, 0);
    mpx_lock_coord_sys(&geodetic);
    const std::vector<std::string> systems = bundled_cylindrical_systems();
    ASSERT_GE(systems.size(), 4u);
    std::vector<double> points;
    for (double lon : kLongitudes)
        for (double lat : kLatitudes)
            points.insert(points.end(), {lon, lat, 0.0});
    for (double u : kMapUnits)
        for (double v : kMapUnits)
            points.insert(points.end(), {u * 6378137.0, v * 6378137.0, 0.0});
    for (const std::string &name : systems) {
        SCOPED_TRACE(name);
        const int projected = mpx_create_coord_sys("WGS84", name.c_str(), "");
        ASSERT_GT(projected, 0);
        mpx_lock_coord_sys(&projected);
        for (const auto &[source, target] :
             {std::pair{geodetic, projected}, std::pair{projected, geodetic},
              std::pair{projected, projected}}) {
            ASSERT_EQ(mpx_set_source(&source), 0);
            ASSERT_EQ(mpx_set_target(&target), 0);
            Failure failures;
            std::vector<double> out(points.size(), 0.0);
            for (std::size_t i = 0; i < points.size(); i += 3) {
                double *r = &out[i];
                const int status =
                    mpx_transform(&points[i], &points[i + 1], &points[i + 2], r, r + 1, r + 2);
                if (status == 0 && !(std::isfinite(r[0]) && std::isfinite(r[1])))
                    failures.add(
                        point_text("transform", points[i], points[i + 1], status, r[0], r[1]));
                const int one = 1;
                double single[3] = {};
                if (mpx_trans_array(&one, &points[i], single) == 0 &&
                    !(std::isfinite(single[0]) && std::isfinite(single[1])))
                    failures.add(
                        point_text("array", points[i], points[i + 1], 0, single[0], single[1]));
            }
            EXPECT_EQ(failures.count, 0) << source << ">" << target << "\n" << failures.text.str();
            // A whole array succeeds only if every point does, so here it must
            // stop at the first hostile point.
            const int n = static_cast<int>(points.size() / 3);
            EXPECT_EQ(mpx_trans_array(&n, points.data(), out.data()), -1);
            test_support::take_errors();
        }
        mpx_delete_coord_sys(&projected);
    }
}

} // namespace
