// One runner for the projection tables under tests/proj/tables/, one test
// per file; the directives are described in tables/README.md.
#include "tests/proj/support.hpp"

#include <gtest/gtest-spi.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <numbers>
#include <optional>
#include <sstream>

namespace {

using proj_test::Instance;
using Words = std::vector<std::string>;

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr double kMeanEarthRadius = 6371008.8; // IUGG, when a table names no ellipsoid

#define TABLE_FAILURE ADD_FAILURE_AT(path_.c_str(), line_)

// Exactly `count` numbers t[first...] into `out`.
bool numbers(const Words &t, std::size_t first, std::size_t count, double *out) {
    bool ok = t.size() == first + count;
    for (std::size_t i = 0; ok && i < count; ++i) {
        char *end = nullptr;
        out[i] = std::strtod(t[first + i].c_str(), &end);
        ok = end != t[first + i].c_str() && *end == '\0';
    }
    return ok;
}

class TableRun {
  public:
    explicit TableRun(std::string path) : path_(std::move(path)) {}

    void run() {
        std::ifstream in(path_);
        int cases = 0;
        for (std::string text; std::getline(in, text);) {
            ++line_;
            std::istringstream words(text.substr(0, text.find('#')));
            const Words t{std::istream_iterator<std::string>(words), {}};
            if (!t.empty() && !step(t, cases))
                TABLE_FAILURE << "malformed line, or no projection before it";
        }
        if (cases == 0)
            TABLE_FAILURE << "no table, or no cases in it";
    }

  private:
    // False for a malformed line.
    bool step(const Words &t, int &cases) {
        const std::string &head = t[0];
        if (head == "projection" && t.size() == 2) {
            instance_.emplace(t[1].c_str());
            settings_.clear();
            a_ = kMeanEarthRadius, e_ = 0.0, tolerance_ = -1.0;
            return instance_->valid();
        }
        if (!instance_ || !instance_->valid())
            return false;
        const struct_desc &d = *instance_->entry().descriptor;
        const bool fails = head == "fails" && t.size() > 1;
        const std::string what = fails ? t[1] : head;
        const struct_attr *a = nullptr;
        double v[4];
        if (head == "ellipsoid" && numbers(t, 1, 2, v)) {
            a_ = v[0], e_ = v[1];
        } else if (head == "param" && (a = attribute(t, v[0]))) {
            settings_.emplace_back(a, v[0]);
        } else if (head == "tolerance" && t.back() == "m" && numbers({t[0], t[1]}, 1, 1, v)) {
            tolerance_ = v[0];
        } else if (head == "mode" && numbers(t, 1, 1, v)) {
            EXPECT_EQ(instance_->entry().mode, v[0]) << path_ << ":" << line_;
            return true;
        } else if (head == "attributes") {
            Words visible;
            for (int i = 0; i < d.count; ++i)
                if (d.attributes[i].access_class != MPX_ACCESS_HIDDEN)
                    visible.emplace_back(d.attributes[i].name);
            EXPECT_EQ(visible, Words(t.begin() + 1, t.end())) << path_ << ":" << line_;
            return true;
        } else if (head == "expect" && (a = attribute(t, v[0]))) {
            ++cases;
            if (build() && !(std::fabs(field(*a) - v[0]) <= 1e-15 * std::max(1.0, std::fabs(v[0]))))
                TABLE_FAILURE << t[1] << " is " << field(*a) << ", expected " << v[0];
            return true;
        } else if (head == "roundtrip" || what == "forward" || what == "inverse") {
            ++cases;
            if (!numbers(t, fails ? 2 : 1, head == "roundtrip" ? 2 : fails ? 3 : 4, v))
                return false;
            if (build())
                fails ? check_status(what == "forward", v) : check(head, v);
            return true;
        } else {
            return false;
        }
        built_ = false;
        return true;
    }

    // <name> [deg|char] <value>: the attribute, and the value in radians or
    // as the code of a 'c' attribute's character.
    const struct_attr *attribute(const Words &t, double &value) const {
        const struct_desc &d = *instance_->entry().descriptor;
        for (int i = 0; i < d.count && (t.size() == 3 || t.size() == 4); ++i) {
            const struct_attr &a = d.attributes[i];
            if (t[1] != a.name)
                continue;
            if (a.type == MPX_TYPE_CHAR) {
                value = t.back()[0];
                return t.back().size() == 1 ? &a : nullptr;
            }
            if ((t.size() == 4 && t[2] != "deg") || !numbers(t, t.size() - 1, 1, &value))
                return nullptr;
            value *= t.size() == 4 ? kDegree : 1.0;
            return &a;
        }
        return nullptr;
    }

    // An attribute as a double, after writing `*write` into it when given.
    double field(const struct_attr &a, const double *write = nullptr) {
        Instance &p = *instance_;
        if (write != nullptr && a.type == MPX_TYPE_LONG)
            p.set(a.name, static_cast<std::int32_t>(*write));
        else if (write != nullptr && a.type == MPX_TYPE_CHAR)
            p.set(a.name, static_cast<char>(*write));
        else if (write != nullptr)
            p.set(a.name, *write);
        return a.type == MPX_TYPE_LONG   ? p.get<std::int32_t>(a.name)
               : a.type == MPX_TYPE_CHAR ? p.get<char>(a.name)
                                         : p.get(a.name);
    }

    bool build() {
        if (built_)
            return true;
        instance_->set_if_present("spheroid.radius", a_)
            .set_if_present("spheroid.eccentricity", e_);
        for (const auto &[a, value] : settings_)
            field(*a, &value);
        const int status = instance_->init();
        if (status != 0)
            TABLE_FAILURE << "init returned " << status;
        return built_ = status == 0;
    }

    // Angle errors in metres along the meridian and the parallel.
    double metres(double lon, double lat, double lon_expected, double lat_expected) const {
        const double s = std::sin(lat_expected), w = 1.0 - e_ * e_ * s * s;
        const double dlon = std::remainder(lon - lon_expected, 2.0 * std::numbers::pi);
        const double deviation =
            std::max(std::fabs(lat - lat_expected) * a_ * (1.0 - e_ * e_) / (w * std::sqrt(w)),
                     std::fabs(dlon) * a_ / std::sqrt(w) * std::cos(lat_expected));
        return std::isnan(deviation) ? HUGE_VAL : deviation;
    }

    void check(const std::string &what, double *v) {
        Instance &p = *instance_;
        double x = NAN, y = NAN, lon = NAN, lat = NAN, deviation = NAN;
        int status = 0;
        if (what == "forward") {
            status = p.forward(v[0] * kDegree, v[1] * kDegree, x, y);
            deviation = std::max(std::fabs(x - v[2]), std::fabs(y - v[3]));
        } else {
            if (what == "roundtrip") {
                status = p.forward(v[0] * kDegree, v[1] * kDegree, x, y);
                v[2] = v[0], v[3] = v[1];
            } else {
                x = v[0], y = v[1];
            }
            status |= p.backward(x, y, lon, lat);
            deviation = metres(lon, lat, v[2] * kDegree, v[3] * kDegree);
            x = lon / kDegree, y = lat / kDegree;
        }
        if (status != 0 || !(deviation <= tolerance_))
            TABLE_FAILURE << what << ": expected " << v[2] << " " << v[3] << ", got " << x << " "
                          << y << " status " << status << ", deviation " << deviation << " m";
    }

    void check_status(bool forward, const double *v) {
        double u = 123.0, w = 456.0;
        const int status = forward ? instance_->forward(v[0] * kDegree, v[1] * kDegree, u, w)
                                   : instance_->backward(v[0], v[1], u, w);
        if (status != v[2] || (status != 0 && (u != 123.0 || w != 456.0)))
            TABLE_FAILURE << "expected status " << v[2] << ", got " << status << " with outputs "
                          << u << " " << w;
    }

    std::string path_;
    int line_ = 0;
    std::optional<Instance> instance_;
    std::vector<std::pair<const struct_attr *, double>> settings_;
    double a_ = 0.0, e_ = 0.0, tolerance_ = -1.0;
    bool built_ = false;
};

class ProjectionTable : public ::testing::TestWithParam<const char *> {};

TEST_P(ProjectionTable, MatchesEveryCase) {
    TableRun(std::string(MPX_SOURCE_DIR "tests/proj/tables/") + GetParam() + ".txt").run();
}

INSTANTIATE_TEST_SUITE_P(Tables, ProjectionTable,
                         ::testing::Values("cassini", "mercator", "placaree", "stm", "tranmerc",
                                           "utm"),
                         [](const auto &info) { return std::string(info.param); });

// The runner must be able to fail: a table with one wrong expectation.
TEST(ProjectionTableRunner, ReportsTheDeviationOfAWrongExpectation) {
    EXPECT_NONFATAL_FAILURE(TableRun(MPX_SOURCE_DIR "tests/proj/data/wrong_table.txt").run(),
                            "deviation 0.01 m");
}

} // namespace
