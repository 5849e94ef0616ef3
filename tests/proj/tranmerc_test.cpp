// Transverse Mercator family behaviour that the tables cannot express: what
// init derives, exact relations between the keywords, the round trip over
// a whole UTM zone and the statuses of hostile input. Worked examples live
// in tables/tranmerc.txt, stm.txt and utm.txt.
#include "mpxlib.h"
#include "proj/registry.hpp"
#include "projection_table.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr double kPi = std::numbers::pi;
// WGS 84 (NIMA TR8350.2): a = 6378137 m, 1/f = 298.257223563.
constexpr double kWgs84Radius = 6378137.0;
constexpr double kWgs84Eccentricity = 0.08181919084262149;
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();

// One parameter record of an installed projection, addressed by attribute
// name as the coordinate-system loader does.
class Instance {
  public:
    Instance(const char *keyword, double radius, double eccentricity) {
        const int index = projection_table::installed_projection(keyword);
        entry_ = proj_entry(index);
        if (index < 0 || entry_ == nullptr) {
            ADD_FAILURE() << keyword << " is not installed";
            return;
        }
        storage_.assign((static_cast<std::size_t>(entry_->param_size) + 7) / 8, 0.0);
        set("spheroid.radius", radius);
        set("spheroid.eccentricity", eccentricity);
    }

    template <class T> void set(const char *name, T value) {
        if (char *field = field_of(name))
            std::memcpy(field, &value, sizeof value);
    }
    template <class T> T get(const char *name) {
        T value{};
        if (const char *field = field_of(name))
            std::memcpy(&value, field, sizeof value);
        return value;
    }

    int init() { return entry_ ? entry_->init(storage_.data()) : -1; }
    int forward(double lon, double lat, double &x, double &y) {
        return entry_ ? entry_->forward(storage_.data(), lon, lat, &x, &y) : -1;
    }
    int backward(double x, double y, double &lon, double &lat) {
        return entry_ ? entry_->backward(storage_.data(), x, y, &lon, &lat) : -1;
    }
    const mpx_proj_entry *entry() const { return entry_; }

  private:
    char *field_of(const char *name) {
        const int offset = entry_ ? struct_offset(entry_->descriptor, name) : -1;
        if (offset < 0) {
            ADD_FAILURE() << "no attribute " << name;
            return nullptr;
        }
        return reinterpret_cast<char *>(storage_.data()) + offset;
    }

    const mpx_proj_entry *entry_ = nullptr;
    std::vector<double> storage_; // doubles keep the record aligned
};

// British National Grid on Airy 1830 (EPSG Guidance Note 7-2): a false
// origin in both axes and a latitude of origin off the equator.
void set_national_grid(Instance &p) {
    p.set("false_east", 400000.0);
    p.set("false_north", -100000.0);
    p.set("scale_factor", 0.9996012717);
    p.set("centre_merid", -2.0 * kDegree);
    p.set("centre_lat", 49.0 * kDegree);
}

std::vector<std::string> visible_attributes(const mpx_proj_entry &entry) {
    std::vector<std::string> names;
    for (int i = 0; i < entry.descriptor->count; ++i) {
        if (entry.descriptor->attributes[i].access_class != MPX_ACCESS_HIDDEN)
            names.emplace_back(entry.descriptor->attributes[i].name);
    }
    return names;
}

TEST(TransverseMercatorFamily, DescriptorsExposeExactlyTheDatabaseColumnsAndMode2) {
    const std::vector<std::string> origin{"false_east", "false_north", "scale_factor",
                                          "centre_merid", "centre_lat"};
    for (const char *keyword : {"tranmerc", "stm", "utm"}) {
        Instance p(keyword, kWgs84Radius, kWgs84Eccentricity);
        ASSERT_NE(p.entry(), nullptr);
        const std::vector<std::string> expected =
            std::string(keyword) == "utm" ? std::vector<std::string>{"zone", "hemisphere"} : origin;
        EXPECT_EQ(visible_attributes(*p.entry()), expected) << keyword;
        EXPECT_EQ(p.entry()->mode, 2) << keyword;
        EXPECT_GE(p.entry()->radius_offset, 0) << keyword;
        EXPECT_GE(p.entry()->ecc_offset, 0) << keyword;
    }
}

TEST(TransverseMercatorFamily, StmIsTheExactNegationOfTranmercFalseOriginIncluded) {
    Instance tm("tranmerc", 6377563.396, 0.08167337387414189);
    Instance stm("stm", 6377563.396, 0.08167337387414189);
    set_national_grid(tm);
    set_national_grid(stm);
    ASSERT_EQ(tm.init(), 0);
    ASSERT_EQ(stm.init(), 0);
    for (double lon : {-8.0, -2.0, 0.5, 4.0}) {
        for (double lat : {-60.0, 0.0, 49.0, 50.5, 90.0}) {
            double x = 0, y = 0, xs = 0, ys = 0;
            ASSERT_EQ(tm.forward(lon * kDegree, lat * kDegree, x, y), 0);
            ASSERT_EQ(stm.forward(lon * kDegree, lat * kDegree, xs, ys), 0);
            EXPECT_EQ(xs, -x) << lon << " " << lat;
            EXPECT_EQ(ys, -y) << lon << " " << lat;
            double lon_tm = 0, lat_tm = 0, lon_stm = 0, lat_stm = 0;
            ASSERT_EQ(tm.backward(x, y, lon_tm, lat_tm), 0);
            ASSERT_EQ(stm.backward(xs, ys, lon_stm, lat_stm), 0);
            EXPECT_EQ(lon_stm, lon_tm);
            EXPECT_EQ(lat_stm, lat_tm);
        }
    }
}

TEST(TransverseMercatorFamily, InitMarksTheUtmFieldsUnusedAndSetsTheAxes) {
    for (const char *keyword : {"tranmerc", "stm"}) {
        Instance p(keyword, kWgs84Radius, kWgs84Eccentricity);
        p.set("zone", int32_t{31});
        p.set("hemisphere", 'S');
        p.set("grid_ws", int32_t{7});
        set_national_grid(p);
        ASSERT_EQ(p.init(), 0);
        EXPECT_EQ(p.get<int32_t>("zone"), -999);
        EXPECT_EQ(p.get<char>("hemisphere"), ' ');
        EXPECT_EQ(p.get<int32_t>("grid_ws"), std::string(keyword) == "stm" ? 1 : 0);
        EXPECT_EQ(p.get<double>("long_cut"), -2.0 * kDegree - kPi);
        EXPECT_EQ(p.get<double>("false_north"), -100000.0) << "init keeps the database origin";
    }
}

TEST(TransverseMercatorFamily, InitAgainAfterAChangeRecomputesTheDerivedFields) {
    Instance p("tranmerc", kWgs84Radius, kWgs84Eccentricity);
    set_national_grid(p);
    ASSERT_EQ(p.init(), 0);
    p.set("centre_merid", 9.0 * kDegree);
    p.set("centre_lat", -30.0 * kDegree);
    ASSERT_EQ(p.init(), 0);
    EXPECT_EQ(p.get<double>("long_cut"), 9.0 * kDegree - kPi);
    double x = 0, y = 0;
    ASSERT_EQ(p.forward(9.0 * kDegree, -30.0 * kDegree, x, y), 0);
    EXPECT_EQ(x, 400000.0);
    EXPECT_EQ(y, -100000.0);
}

struct UtmCase {
    int32_t zone;
    char hemisphere;
    double false_north;
    double centre_merid_degrees;
};

TEST(Utm, InitDerivesFalseOriginScaleAndCentralMeridianFromZoneAndHemisphere) {
    const UtmCase cases[] = {
        {31, 'N', 0.0, 3.0},          {31, 'S', 10000000.0, 3.0}, {31, 's', 0.0, 3.0},
        {1, 'S', 10000000.0, -177.0}, {60, ' ', 0.0, 177.0},      {0, 'N', 0.0, -183.0},
        {99, 'S', 10000000.0, 411.0},
    };
    for (const UtmCase &c : cases) {
        Instance p("utm", kWgs84Radius, kWgs84Eccentricity);
        p.set("zone", c.zone);
        p.set("hemisphere", c.hemisphere);
        p.set("false_east", 1.0); // whatever the record held is replaced
        p.set("scale_factor", 1.0);
        p.set("centre_lat", 0.5);
        p.set("grid_ws", int32_t{1});
        ASSERT_EQ(p.init(), 0);
        const std::string label = std::to_string(c.zone) + c.hemisphere;
        EXPECT_EQ(p.get<double>("false_east"), 500000.0) << label;
        EXPECT_EQ(p.get<double>("false_north"), c.false_north) << label;
        EXPECT_EQ(p.get<double>("scale_factor"), 0.9996) << label;
        EXPECT_EQ(p.get<double>("centre_lat"), 0.0) << label;
        EXPECT_EQ(p.get<int32_t>("grid_ws"), 0) << label;
        EXPECT_NEAR(p.get<double>("centre_merid"), c.centre_merid_degrees * kDegree, 1e-15)
            << label;
        EXPECT_EQ(p.get<double>("long_cut"), p.get<double>("centre_merid") - kPi) << label;
    }
}

TEST(Utm, RoundTripInsideEveryZoneIsBetterThanANanoradian) {
    for (int32_t zone : {1, 31, 60}) {
        for (char hemisphere : {'N', 'S'}) {
            Instance p("utm", kWgs84Radius, kWgs84Eccentricity);
            p.set("zone", zone);
            p.set("hemisphere", hemisphere);
            ASSERT_EQ(p.init(), 0);
            const double centre = p.get<double>("centre_merid");
            double worst = 0.0;
            for (double lat = -80.0; lat <= 84.0; lat += 2.0) {
                for (double dlon = -3.0; dlon <= 3.0; dlon += 0.25) {
                    const double lon = centre + dlon * kDegree;
                    double x = 0, y = 0, lon_back = kNan, lat_back = kNan;
                    ASSERT_EQ(p.forward(lon, lat * kDegree, x, y), 0);
                    ASSERT_EQ(p.backward(x, y, lon_back, lat_back), 0);
                    worst = std::max(
                        {worst, std::fabs(lon_back - lon), std::fabs(lat_back - lat * kDegree)});
                }
            }
            EXPECT_LE(worst, 1e-9) << "zone " << zone << hemisphere;
        }
    }
}

TEST(TransverseMercatorFamily, PoleMapsOntoTheCentralMeridianAndBackExactly) {
    Instance p("tranmerc", kWgs84Radius, kWgs84Eccentricity);
    set_national_grid(p);
    ASSERT_EQ(p.init(), 0);
    for (double pole : {kPi / 2, -kPi / 2}) {
        double x = 0, y = 0, lon = kNan, lat = kNan;
        ASSERT_EQ(p.forward(40.0 * kDegree, pole, x, y), 0);
        EXPECT_EQ(x, 400000.0);
        ASSERT_EQ(p.backward(x, y, lon, lat), 0);
        EXPECT_EQ(lat, pole);
        EXPECT_EQ(lon, -2.0 * kDegree);
    }
}

TEST(TransverseMercatorSphere, SingularPointReturnsTwoAndLeavesTheOutputs) {
    Instance p("tranmerc", 6371000.0, 0.0);
    p.set("scale_factor", 1.0);
    p.set("centre_merid", 0.3);
    ASSERT_EQ(p.init(), 0);
    for (double dlon : {kPi / 2, -kPi / 2}) {
        double x = 123.0, y = 456.0;
        EXPECT_EQ(p.forward(0.3 + dlon, 0.0, x, y), 2);
        EXPECT_EQ(x, 123.0);
        EXPECT_EQ(y, 456.0);
    }
    double x = 0, y = 0, lon = 0, lat = 0;
    ASSERT_EQ(p.forward(1.3, 0.5, x, y), 0);
    ASSERT_EQ(p.backward(x, y, lon, lat), 0);
    EXPECT_NEAR(lon, 1.3, 1e-12);
    EXPECT_NEAR(lat, 0.5, 1e-12);
}

TEST(TransverseMercatorFamily, NonFiniteCoordinatesReturnOneAndLeaveTheOutputs) {
    const double inf = std::numeric_limits<double>::infinity();
    for (double eccentricity : {0.0, kWgs84Eccentricity}) {
        Instance p("tranmerc", kWgs84Radius, eccentricity);
        p.set("scale_factor", 1.0);
        ASSERT_EQ(p.init(), 0);
        for (auto [a, b] : {std::pair{kNan, 0.5}, {0.5, kNan}, {inf, 0.5}, {0.1, -inf}}) {
            double u = 7.0, v = 8.0;
            EXPECT_EQ(p.forward(a, b, u, v), 1) << a << " " << b;
            EXPECT_EQ(p.backward(a * 1e6, b * 1e6, u, v), 1) << a << " " << b;
            EXPECT_EQ(u, 7.0);
            EXPECT_EQ(v, 8.0);
        }
    }
}

// Hostile records and points: every routine answers with a status of the
// contract, and a status of 0 always comes with finite coordinates.
TEST(TransverseMercatorFamily, HostileRecordsAndPointsNeverGiveNaNWithStatusZero) {
    const double eccentricities[] = {0.0, 1e-8, kWgs84Eccentricity, 0.9999999, 1.0, 1.5};
    const double scales[] = {0.9996, 0.0, -1.0};
    const double lons[] = {0.0, 1.0, 4.0 * kPi + 0.1, -1e6 * kPi, 1e300};
    const double lats[] = {0.0, 1.0, kPi / 2, 100.0 * kDegree, -1000.0, 1e300};
    for (double e : eccentricities) {
        for (double k0 : scales) {
            Instance p("utm", kWgs84Radius, e);
            p.set("zone", int32_t{31});
            ASSERT_EQ(p.init(), 0);
            p.set("scale_factor", k0); // hidden for "utm": only init would reset it
            for (double lon : lons) {
                for (double lat : lats) {
                    double x = 0, y = 0;
                    const int status = p.forward(lon, lat, x, y);
                    EXPECT_TRUE(status == 0 || status == 1 || status == 2) << status;
                    if (status == 0)
                        EXPECT_TRUE(std::isfinite(x) && std::isfinite(y))
                            << "e " << e << " k0 " << k0 << " at " << lon << " " << lat;
                    double lon_back = 0, lat_back = 0;
                    const int back = p.backward(lon * 1e6, lat * 1e6, lon_back, lat_back);
                    EXPECT_TRUE(back == 0 || back == 1) << back;
                    if (back == 0)
                        EXPECT_TRUE(std::isfinite(lon_back) && std::isfinite(lat_back))
                            << "e " << e << " k0 " << k0 << " at " << lon << " " << lat;
                }
            }
        }
    }
}

TEST(TransverseMercatorFamily, ScaleFactorZeroCollapsesOntoTheFalseOriginAndCannotBeInverted) {
    Instance p("tranmerc", kWgs84Radius, kWgs84Eccentricity);
    set_national_grid(p);
    p.set("scale_factor", 0.0);
    ASSERT_EQ(p.init(), 0);
    double x = 0, y = 0, lon = 0, lat = 0;
    ASSERT_EQ(p.forward(0.1, 0.9, x, y), 0);
    EXPECT_EQ(x, 400000.0);
    EXPECT_EQ(y, -100000.0);
    EXPECT_EQ(p.backward(x + 1.0, y, lon, lat), 1);
}

} // namespace
