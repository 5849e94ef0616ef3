// Cylindrical projections: the exact relation between "stm" and
// "tranmerc", and hostile figures and points. Worked examples, statuses and
// what init derives live in tables/.
#include "tests/proj/support.hpp"

#include <cmath>
#include <limits>
#include <numbers>

using proj_test::Instance;

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
// WGS 84 (NIMA TR8350.2): a = 6378137 m, 1/f = 298.257223563.
constexpr double kWgsA = 6378137.0;
constexpr double kWgsE = 0.08181919084262149;

} // namespace

TEST(TransverseMercator, StmIsTheExactNegationOfTranmercFalseOriginIncluded) {
    Instance tm("tranmerc"), stm("stm");
    for (Instance *p : {&tm, &stm}) {
        // British National Grid (EPSG Guidance Note 7-2).
        p->set("spheroid.radius", 6377563.396).set("spheroid.eccentricity", 0.08167337387414189);
        p->set("false_east", 400000.0).set("false_north", -100000.0);
        p->set("scale_factor", 0.9996012717).set("centre_merid", -2.0 * kPi / 180);
        p->set("centre_lat", 49.0 * kPi / 180);
        ASSERT_EQ(p->init(), 0);
    }
    for (double lon : {-0.14, -0.03, 0.01, 0.07}) {
        for (double lat : {-1.0, 0.0, 0.86, 0.88, kPi / 2}) {
            double x = 0, y = 0, xs = 0, ys = 0, lon_tm = 0, lat_tm = 0, lon_s = 0, lat_s = 0;
            ASSERT_EQ(tm.forward(lon, lat, x, y), 0);
            ASSERT_EQ(stm.forward(lon, lat, xs, ys), 0);
            ASSERT_EQ(tm.backward(x, y, lon_tm, lat_tm), 0);
            ASSERT_EQ(stm.backward(xs, ys, lon_s, lat_s), 0);
            EXPECT_TRUE(xs == -x && ys == -y && lon_s == lon_tm && lat_s == lat_tm)
                << lon << " " << lat;
        }
    }
}

// Degenerate figures and hostile points never crash or hang; every status
// is one of the routine contract, and a Transverse Mercator status of 0
// always comes with finite coordinates.
TEST(CylindricalProjections, HostileFiguresAndPointsKeepTheStatusContract) {
    const double figures[][3] = {{kWgsA, 0.0, 0.9996},    {kWgsA, 1e-8, 0.0}, {kWgsA, kWgsE, -1.0},
                                 {kWgsA, 0.9999999, 1.0}, {kWgsA, 1.0, 1.0},  {kWgsA, 1.5, 1.0},
                                 {0.0, kWgsE, 1.0},       {kWgsA, kNaN, 1.0}};
    const double points[][2] = {{kNaN, 0.5},  {0.5, kNaN},     {kInf, 0.5},   {0.5, -kInf},
                                {1e300, 0.5}, {0.5, 1e300},    {-0.5, 2.5},   {4 * kPi + 0.1, 1},
                                {1, -1000.0}, {-1e6 * kPi, 1}, {0.3, kPi / 2}};
    for (const std::string keyword :
         {"tranmerc", "stm", "utm", "mercator", "placaree", "cassini"}) {
        const bool transverse = keyword == "tranmerc" || keyword == "stm" || keyword == "utm";
        for (const auto &f : figures) {
            Instance p(keyword.c_str());
            p.set("spheroid.radius", f[0]).set("spheroid.eccentricity", f[1]);
            p.set_if_present("zone", std::int32_t{31}).set_if_present("scale_factor", f[2]);
            ASSERT_EQ(p.init(), 0) << keyword;
            p.set_if_present("scale_factor", f[2]); // "utm" init sets its own
            for (const auto &in : points) {
                SCOPED_TRACE(keyword + " e " + std::to_string(f[1]) + " k0 " +
                             std::to_string(f[2]) + " at " + std::to_string(in[0]) + " " +
                             std::to_string(in[1]));
                double x = 0, y = 0, lon = 0, lat = 0;
                const int status = p.forward(in[0], in[1], x, y);
                EXPECT_TRUE(status == 0 || status == 1 || status == 2) << status;
                EXPECT_TRUE(status != 0 || !transverse || (std::isfinite(x) && std::isfinite(y)));
                const int back = p.backward(in[0] * 1e6, in[1] * 1e6, lon, lat);
                EXPECT_TRUE(back == 0 || back == 1) << back;
                EXPECT_TRUE(back != 0 || !transverse || (std::isfinite(lon) && std::isfinite(lat)));
            }
        }
    }
}
