// Mercator, plate carree and Cassini through the registry: what their
// installers declare, and the edge cases a projection table cannot state
// (outputs left untouched, degenerate parameters and inputs).
#include "proj/registry.hpp"
#include "tests/proj/projection_table.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kWgsA = 6378137.0;
constexpr double kWgsE = 0.0818191908426215;

// A zeroed record of a projection, filled by attribute name.
class Instance {
  public:
    explicit Instance(const char *keyword) {
        const int index = projection_table::installed_projection(keyword);
        entry_ = proj_entry(index);
        if (entry_ != nullptr)
            record_.assign(static_cast<std::size_t>(entry_->param_size) / sizeof(double) + 1, 0.0);
    }
    bool valid() const { return entry_ != nullptr; }
    Instance &set(const char *name, double value) {
        const int offset = struct_offset(entry_->descriptor, name);
        EXPECT_GE(offset, 0) << name;
        if (offset >= 0)
            std::memcpy(bytes() + offset, &value, sizeof value);
        return *this;
    }
    double get(const char *name) {
        double value = kNaN;
        const int offset = struct_offset(entry_->descriptor, name);
        if (offset >= 0)
            std::memcpy(&value, bytes() + offset, sizeof value);
        return value;
    }
    int init() { return entry_->init(record_.data()); }
    int forward(double lon, double lat, double &x, double &y) {
        return entry_->forward(record_.data(), lon, lat, &x, &y);
    }
    int backward(double x, double y, double &lon, double &lat) {
        return entry_->backward(record_.data(), x, y, &lon, &lat);
    }
    const mpx_proj_entry &entry() const { return *entry_; }

  private:
    char *bytes() { return reinterpret_cast<char *>(record_.data()); }
    mpx_proj_entry *entry_ = nullptr;
    std::vector<double> record_; // doubles keep the record aligned
};

TEST(CylindricalInstallers, DeclareTheirParametersInRecordOrder) {
    struct Expected {
        const char *keyword;
        int mode;
        std::vector<std::string> names;
    };
    const Expected cases[] = {
        {"mercator",
         1,
         {"false_east", "false_north", "scale_factor", "centre_merid", "spheroid.radius",
          "spheroid.eccentricity", "long_cut"}},
        {"placaree",
         3,
         {"false_east", "false_north", "centre_merid", "centre_lat", "spheroid.radius",
          "spheroid.eccentricity", "long_cut"}},
        {"cassini",
         3,
         {"false_east", "false_north", "centre_merid", "centre_lat", "spheroid.radius",
          "spheroid.eccentricity", "long_cut"}},
    };
    for (const Expected &c : cases) {
        Instance p(c.keyword);
        ASSERT_TRUE(p.valid()) << c.keyword;
        const struct_desc &d = *p.entry().descriptor;
        ASSERT_EQ(d.count, static_cast<int>(c.names.size())) << c.keyword;
        for (int i = 0; i < d.count; ++i) {
            EXPECT_EQ(d.attributes[i].name, c.names[static_cast<std::size_t>(i)]) << c.keyword;
            EXPECT_EQ(d.attributes[i].offset, 8 * i) << c.keyword;
        }
        EXPECT_EQ(p.entry().mode, c.mode) << c.keyword;
        EXPECT_EQ(p.entry().radius_offset, 32) << c.keyword;
        EXPECT_EQ(p.entry().ecc_offset, 40) << c.keyword;
        // Init places the longitude window half a turn west of the centre.
        p.set("spheroid.radius", kWgsA).set("centre_merid", 0.5);
        ASSERT_EQ(p.init(), 0) << c.keyword;
        EXPECT_EQ(p.get("long_cut"), 0.5 - kPi) << c.keyword;
    }
}

TEST(Mercator, PoleIsSingularAndLeavesOutputsUntouched) {
    Instance p("mercator");
    ASSERT_TRUE(p.valid());
    p.set("spheroid.radius", kWgsA).set("spheroid.eccentricity", kWgsE);
    p.set("scale_factor", 1.0);
    ASSERT_EQ(p.init(), 0);
    for (double lat : {kPi / 2, -kPi / 2, kPi / 2 - 9e-11, -kPi / 2 + 9e-11, kPi / 2 + 9e-11}) {
        double x = 123.0, y = 456.0;
        EXPECT_EQ(p.forward(0.3, lat, x, y), 2) << lat;
        EXPECT_EQ(x, 123.0);
        EXPECT_EQ(y, 456.0);
    }
    // Just outside the tolerance the point is finite and comes back.
    double x = 0, y = 0, lon = 0, lat = 0;
    ASSERT_EQ(p.forward(0.3, kPi / 2 - 3e-10, x, y), 0);
    ASSERT_EQ(p.backward(x, y, lon, lat), 0);
    EXPECT_NEAR(lat, kPi / 2 - 3e-10, 1e-12);
    EXPECT_EQ(lon, 0.3);
}

TEST(Mercator, SphereFollowsLnTanAndLongitudesMapLinearly) {
    Instance p("mercator");
    ASSERT_TRUE(p.valid());
    const double a = 6371000.0, k0 = 0.9996, fe = 500000.0, fn = -200000.0, lon0 = -1.0;
    p.set("spheroid.radius", a).set("scale_factor", k0).set("centre_merid", lon0);
    p.set("false_east", fe).set("false_north", fn);
    ASSERT_EQ(p.init(), 0);
    for (double lat : {-1.5, -0.7, 0.0, 0.2, 1.4}) {
        double x = 0, y = 0, lon = 0, back = 0;
        ASSERT_EQ(p.forward(lon0 + 3 * kPi, lat, x, y), 0);
        EXPECT_NEAR(x, 3 * kPi * a * k0 + fe, 1e-6);
        EXPECT_NEAR(y, a * k0 * std::log(std::tan(kPi / 4 + lat / 2)) + fn, 1e-6);
        ASSERT_EQ(p.backward(x, y, lon, back), 0);
        EXPECT_NEAR(lon, lon0 + 3 * kPi, 1e-14);
        EXPECT_NEAR(back, lat, 1e-14);
    }
}

TEST(Placaree, StandardParallelScalesOnlyLongitude) {
    Instance p("placaree");
    ASSERT_TRUE(p.valid());
    p.set("spheroid.radius", 1000.0).set("centre_lat", kPi / 3).set("false_north", 7.0);
    ASSERT_EQ(p.init(), 0);
    double x = 0, y = 0;
    ASSERT_EQ(p.forward(0.2, 0.2, x, y), 0);
    EXPECT_NEAR(x, 100.0, 1e-12);
    EXPECT_NEAR(y, 207.0, 1e-12);
}

TEST(CassiniBackward, KeepsTheClosedFormEstimateWhereNoPointMapsToTheInput) {
    Instance p("cassini");
    ASSERT_TRUE(p.valid());
    p.set("spheroid.radius", 1.0);
    ASSERT_EQ(p.init(), 0);
    // On the unit sphere |x| never exceeds pi/2, so x = 2 has no preimage
    // and the refinement gives up; Snyder's eqs. 13-3 and 13-4 remain.
    const double x = 2.0, d = 0.3;
    double lon = kNaN, lat = kNaN;
    EXPECT_EQ(p.backward(x, d, lon, lat), 0);
    EXPECT_NEAR(lat, std::asin(std::sin(d) * std::cos(x)), 1e-15);
    EXPECT_NEAR(lon, std::atan(std::tan(x) / std::cos(d)), 1e-15);
}

// Degenerate parameters and inputs never crash or hang, and give the
// statuses of the routine contract: 0 (2 only at Mercator's poles).
TEST(CylindricalProjections, DegenerateParametersAndInputsKeepTheirStatuses) {
    struct Figure {
        double a, e, k0;
    };
    const Figure figures[] = {{kWgsA, 0.0, 1.0},  {kWgsA, kWgsE, 0.0}, {kWgsA, 0.999999, 1.0},
                              {kWgsA, 1.0, 1.0},  {0.0, kWgsE, 1.0},   {kWgsA, kNaN, 1.0},
                              {kWgsA, kWgsE, 1.0}};
    const double inputs[][2] = {{kNaN, 0.5},  {0.5, kNaN}, {kInf, 0.5},           {0.5, -kInf},
                                {1e300, 0.5}, {-0.5, 2.5}, {20 * kPi + 0.1, -0.3}};
    for (const char *keyword : {"mercator", "placaree", "cassini"}) {
        for (const Figure &f : figures) {
            Instance p(keyword);
            ASSERT_TRUE(p.valid());
            p.set("spheroid.radius", f.a).set("spheroid.eccentricity", f.e);
            if (std::string(keyword) == "mercator")
                p.set("scale_factor", f.k0);
            ASSERT_EQ(p.init(), 0) << keyword;
            for (const auto &in : inputs) {
                double x = 0, y = 0, lon = 0, lat = 0;
                EXPECT_EQ(p.forward(in[0], in[1], x, y), 0) << keyword << " " << in[0];
                EXPECT_EQ(p.backward(in[0] * 1e6, in[1] * 1e6, lon, lat), 0) << keyword;
            }
        }
    }
}

} // namespace
