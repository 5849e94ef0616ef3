// The runner of the tables under tests/proj/tables/ (format: README.md
// there), and the exact relation between "stm" and "tranmerc".
#include "tests/proj/support.hpp"

#include <gtest/gtest-spi.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <optional>
#include <sstream>

namespace {

using proj_test::Instance;
using Words = std::vector<std::string>;

constexpr double kDegree = std::numbers::pi / 180.0;

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
        // Before any block: the exact companions take over their keywords
        // (installed by the test before the run).
        if (head == "exact" && t.size() == 1 && !instance_)
            return true;
        if (head == "projection" && t.size() == 2) {
            instance_.emplace(t[1].c_str());
            settings_.clear();
            a_ = NAN, e_ = 0.0, tolerance_ = -1.0; // a case needs both
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
        } else if (fails && what == "init" && numbers(t, 2, 1, v)) {
            ++cases;
            if (const int status = prepare(); status != v[0])
                TABLE_FAILURE << "init returned " << status << ", expected " << v[0];
        } else if (head == "hostile" || (head == "expect" && (a = attribute(t, v[0])))) {
            ++cases;
            if (build() && a == nullptr)
                check_hostile(t.size() == 2 && t[1] == "finite");
            else if (built_ &&
                     !(std::fabs(field(*a) - v[0]) <= 1e-15 * std::max(1.0, std::fabs(v[0]))))
                TABLE_FAILURE << t[1] << " is " << field(*a) << ", expected " << v[0];
            return true;
        } else if (head == "roundtrip" || what == "forward" || what == "inverse") {
            ++cases;
            if (!numbers(t, fails ? 2 : 1, head == "roundtrip" ? 2 : fails ? 3 : 4, v))
                return false;
            if (build())
                check(what, fails, v);
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

    // Writes the ellipsoid and the settings into the record; init's status.
    int prepare() {
        // A spherical projection declares the radius alone.
        if (instance_->entry().radius_offset >= 0)
            instance_->set("spheroid.radius", a_);
        if (instance_->entry().ecc_offset >= 0)
            instance_->set("spheroid.eccentricity", e_);
        for (const auto &[a, value] : settings_)
            field(*a, &value);
        return instance_->init();
    }

    bool build() {
        if (built_)
            return true;
        const int status = prepare();
        if (status != 0)
            TABLE_FAILURE << "init returned " << status;
        return built_ = status == 0;
    }

    void check(const std::string &what, bool fails, double *v) {
        Instance &p = *instance_;
        double x = 123.0, y = 456.0, lon = 123.0, lat = 456.0, deviation = 0.0;
        int status = 0;
        if (fails) { // exactly this status, the outputs untouched
            status = what == "forward" ? p.forward(v[0] * kDegree, v[1] * kDegree, x, y)
                                       : p.backward(v[0], v[1], x, y);
            if (status != v[2] || (status != 0 && (x != 123.0 || y != 456.0)))
                TABLE_FAILURE << "expected status " << v[2] << ", got " << status << " with " << x
                              << " " << y;
            return;
        }
        if (what == "forward") {
            status = p.forward(v[0] * kDegree, v[1] * kDegree, x, y);
            deviation = std::max(std::fabs(x - v[2]), std::fabs(y - v[3]));
        } else {
            if (what == "roundtrip")
                status = p.forward(v[0] * kDegree, v[1] * kDegree, x, y), v[2] = v[0], v[3] = v[1];
            else
                x = v[0], y = v[1];
            status |= p.backward(x, y, lon, lat);
            // Angle errors in metres along the meridian and the parallel.
            const double s = std::sin(v[3] * kDegree), w = 1.0 - e_ * e_ * s * s;
            deviation = std::max(
                std::fabs(lat - v[3] * kDegree) * a_ * (1.0 - e_ * e_) / (w * std::sqrt(w)),
                std::fabs(std::remainder(lon - v[2] * kDegree, 2 * std::numbers::pi)) * a_ /
                    std::sqrt(w) * std::cos(v[3] * kDegree));
            x = lon / kDegree, y = lat / kDegree;
        }
        if (status != 0 || !(deviation <= tolerance_)) // NaN fails too
            TABLE_FAILURE << what << ": expected " << v[2] << " " << v[3] << ", got " << x << " "
                          << y << " status " << status << ", deviation " << deviation << " m";
    }

    // NaN, infinite and huge points, radians (times 1e6 for the inverse).
    void check_hostile(bool finite) {
        constexpr double kInf = HUGE_VAL, kPi = std::numbers::pi;
        const double points[][2] = {{NAN, 0.5}, {0.5, NAN},      {kInf, 0.5},   {0.5, -kInf},
                                    {1e300, 0}, {0.5, 1e300},    {-0.5, 2.5},   {4 * kPi + 0.1, 1},
                                    {1, -1000}, {-1e6 * kPi, 1}, {0.3, kPi / 2}};
        for (const auto &[u, w] : points) {
            double x = 0, y = 0, lon = 0, lat = 0;
            const int status = instance_->forward(u, w, x, y);
            const int back = instance_->backward(u * 1e6, w * 1e6, lon, lat);
            if (status < 0 || status > 2 || back < -2 || back > 1 || back == -1 ||
                (finite && status == 0 && !std::isfinite(x + y)) ||
                (finite && back == 0 && !std::isfinite(lon + lat)))
                TABLE_FAILURE << "at " << u << " " << w << ": statuses " << status << "/" << back
                              << ", got " << x << " " << y << " and " << lon << " " << lat;
        }
    }

    std::string path_;
    int line_ = 0;
    std::optional<Instance> instance_;
    std::vector<std::pair<const struct_attr *, double>> settings_;
    double a_ = 0.0, e_ = 0.0, tolerance_ = -1.0;
    bool built_ = false;
};

class ProjectionTable : public ::testing::TestWithParam<std::string> {};

// True when the table's first line asks for the exact companions.
bool wants_exact_forms(const std::string &path) {
    std::ifstream in(path);
    std::string first;
    std::getline(in, first);
    return first == "exact";
}

TEST_P(ProjectionTable, MatchesEveryCase) {
    const std::string path = std::string(MPX_SOURCE_DIR "tests/proj/tables/") + GetParam() + ".txt";
    if (wants_exact_forms(path)) {
        // Once per process, and only before the base projections: when the
        // whole program runs in one process, a table of the classic forms
        // may have installed them first.
        static const bool installed = mpx_exact_install() == 0;
        if (!installed)
            GTEST_SKIP() << "the exact forms go in before the base projections: run this "
                            "table in a process of its own (as ctest does)";
    }
    TableRun(path).run();
}

// Every table file, by name without ".txt", in a stable order: a new
// projection only adds its file.
std::vector<std::string> table_names() {
    std::vector<std::string> names;
    for (const auto &entry :
         std::filesystem::directory_iterator(MPX_SOURCE_DIR "tests/proj/tables/"))
        if (entry.path().extension() == ".txt")
            names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

INSTANTIATE_TEST_SUITE_P(Tables, ProjectionTable, ::testing::ValuesIn(table_names()),
                         [](const auto &info) { return info.param; });

// The runner must be able to fail: a table with one wrong expectation.
TEST(ProjectionTableRunner, ReportsTheDeviationOfAWrongExpectation) {
    EXPECT_NONFATAL_FAILURE(TableRun(MPX_SOURCE_DIR "tests/proj/data/wrong_table.txt").run(),
                            "deviation 0.01 m");
}

// Exact, not within a tolerance: "stm" negates every "tranmerc" result.
TEST(TransverseMercator, StmIsTheExactNegationOfTranmercFalseOriginIncluded) {
    Instance tm("tranmerc"), stm("stm");
    for (Instance *p : {&tm, &stm}) {
        // British National Grid (EPSG Guidance Note 7-2).
        p->set("spheroid.radius", 6377563.396).set("spheroid.eccentricity", 0.08167337387414189);
        p->set("false_east", 400000.0).set("false_north", -100000.0);
        p->set("scale_factor", 0.9996012717).set("centre_merid", -2.0 * kDegree);
        p->set("centre_lat", 49.0 * kDegree);
        ASSERT_EQ(p->init(), 0);
    }
    for (double lon : {-0.14, -0.03, 0.01, 0.07}) {
        for (double lat : {-1.0, 0.0, 0.86, 0.88, std::numbers::pi / 2}) {
            double x = 0, y = 0, xs = 0, ys = 0, lon_tm = 0, lat_tm = 0, lon_s = 0, lat_s = 0;
            ASSERT_EQ(tm.forward(lon, lat, x, y) + stm.forward(lon, lat, xs, ys), 0);
            ASSERT_EQ(tm.backward(x, y, lon_tm, lat_tm) + stm.backward(xs, ys, lon_s, lat_s), 0);
            EXPECT_TRUE(xs == -x && ys == -y && lon_s == lon_tm && lat_s == lat_tm)
                << lon << " " << lat;
        }
    }
}

} // namespace
