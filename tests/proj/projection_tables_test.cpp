// One runner for every projection table under tests/proj/tables/ (one test
// per file). A table names its projection by registry keyword, sets the
// ellipsoid and parameters through the projection's descriptor (angles
// given in degrees), a tolerance in metres, then lists cases:
//
//   projection tranmerc
//   ellipsoid 6378206.4 0.08227185422       (a, first eccentricity)
//   param scale_factor 0.9996               (type from the descriptor)
//   param centre_merid deg -75              (degrees, stored in radians)
//   param hemisphere char N
//   tolerance 0.001 m
//   forward  <lon deg> <lat deg> <x> <y>
//   inverse  <x> <y> <lon deg> <lat deg>
//   roundtrip <lon deg> <lat deg>
//   fails forward <lon deg> <lat deg> <status>
//   fails inverse <x> <y> <status>
//   fails init <status>
//
// A new "projection" line starts a new block. Init runs before the first
// case after any change of the ellipsoid or a parameter. Angle errors are
// turned into metres with the meridian and prime-vertical radii.
#include "mpxlib.h"
#include "proj/registry.hpp"
#include "projection_table.hpp"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

namespace {

using projection_table::Directive;
using projection_table::Kind;
using projection_table::ParamUnit;

constexpr double kDegree = std::numbers::pi / 180.0;
// IUGG mean earth radius: turns angles into metres when a table names no
// ellipsoid.
constexpr double kMeanEarthRadius = 6371008.8;
// Larger records than this are a broken registry entry, not a projection.
constexpr int kMaxRecordSize = 4096;

std::string show(double value, int decimals) {
    std::ostringstream out;
    out.setf(std::ios::fixed);
    out.precision(decimals);
    out << value;
    return out.str();
}

std::string show_xy(double x, double y) { return "(" + show(x, 4) + ", " + show(y, 4) + ")"; }
std::string show_deg(double lon, double lat) {
    return "(" + show(lon, 10) + ", " + show(lat, 10) + ") deg";
}

// One block of a table: what the record is built from, and the record.
class Block {
  public:
    Block(const std::string &file, const Directive &projection)
        : file_(file), keyword_(projection.word) {
        index_ = projection_table::installed_projection(keyword_);
        if (index_ < 0)
            ADD_FAILURE_AT(file_.c_str(), projection.line)
                << "projection \"" << keyword_ << "\" is not installed";
    }

    void set(const Directive &d) {
        switch (d.kind) {
        case Kind::Ellipsoid:
            radius_ = d.values[0];
            eccentricity_ = d.values[1];
            has_ellipsoid_ = true;
            break;
        case Kind::Param:
            params_.push_back(d);
            break;
        case Kind::Tolerance:
            tolerance_ = d.values[0];
            break;
        case Kind::FailsInit:
            init_status_ = d.status;
            break;
        default:
            return;
        }
        built_ = false;
    }

    void run(const Directive &d) {
        if (index_ < 0 || (!built_ && !build(d.line)))
            return;
        if (tolerance_ < 0.0) {
            ADD_FAILURE_AT(file_.c_str(), d.line) << "case before any tolerance line";
            return;
        }
        const double *v = d.values;
        switch (d.kind) {
        case Kind::Forward:
            check_forward(d.line, v[0], v[1], v[2], v[3]);
            break;
        case Kind::Inverse:
            check_inverse(d.line, v[0], v[1], v[2], v[3]);
            break;
        case Kind::Roundtrip:
            check_roundtrip(d.line, v[0], v[1]);
            break;
        case Kind::FailsForward: {
            double x = 0.0, y = 0.0;
            const int status = forward()(record(), v[0] * kDegree, v[1] * kDegree, &x, &y);
            EXPECT_EQ(status, d.status) << at(d.line) << "forward " << show_deg(v[0], v[1]);
            break;
        }
        case Kind::FailsInverse: {
            double lon = 0.0, lat = 0.0;
            const int status = backward()(record(), v[0], v[1], &lon, &lat);
            EXPECT_EQ(status, d.status) << at(d.line) << "inverse " << show_xy(v[0], v[1]);
            break;
        }
        default:
            break;
        }
    }

  private:
    std::string at(int line) const { return file_ + ":" + std::to_string(line) + ": "; }
    const mpx_proj_entry &entry() const { return *proj_entry(index_); }
    void *record() { return storage_.data(); }
    mpx_proj_forward_fn forward() const { return entry().forward; }
    mpx_proj_backward_fn backward() const { return entry().backward; }

    // Zeroed record, ellipsoid and parameters written through the
    // descriptor, then init.
    bool build(int line) {
        const mpx_proj_entry &e = entry();
        if (e.descriptor == nullptr || e.param_size <= 0 || e.param_size > kMaxRecordSize) {
            ADD_FAILURE_AT(file_.c_str(), line) << "registry entry of " << keyword_ << " is broken";
            return false;
        }
        storage_.assign((static_cast<std::size_t>(e.param_size) + 7) / 8, 0.0);
        char *bytes = static_cast<char *>(record());
        if (has_ellipsoid_ && e.radius_offset >= 0)
            std::memcpy(bytes + e.radius_offset, &radius_, sizeof radius_);
        if (has_ellipsoid_ && e.ecc_offset >= 0)
            std::memcpy(bytes + e.ecc_offset, &eccentricity_, sizeof eccentricity_);
        for (const Directive &p : params_) {
            if (!write_param(bytes, p))
                return false;
        }
        const int status = e.init(record());
        if (status != init_status_) {
            ADD_FAILURE_AT(file_.c_str(), line) << "init of " << keyword_ << " returned " << status
                                                << ", expected " << init_status_;
            return false;
        }
        built_ = true;
        return true;
    }

    const struct_attr *attribute(const std::string &name) const {
        // Tables may write a hidden name with or without its leading '.'.
        const std::string stored = name.starts_with('.') ? name.substr(1) : name;
        const struct_desc &d = *entry().descriptor;
        for (int i = 0; i < d.count; ++i) {
            if (stored == d.attributes[i].name)
                return &d.attributes[i];
        }
        return nullptr;
    }

    bool write_param(char *bytes, const Directive &p) {
        const struct_attr *a = attribute(p.word);
        if (a == nullptr) {
            ADD_FAILURE_AT(file_.c_str(), p.line) << keyword_ << " has no attribute " << p.word;
            return false;
        }
        const double value = p.unit == ParamUnit::Degrees ? p.values[0] * kDegree : p.values[0];
        char *field = bytes + a->offset;
        if (a->type == MPX_TYPE_DOUBLE && p.unit != ParamUnit::Character) {
            std::memcpy(field, &value, sizeof value);
            return true;
        }
        if (a->type == MPX_TYPE_LONG && p.unit == ParamUnit::Plain && value == std::trunc(value) &&
            std::fabs(value) <= INT32_MAX) {
            const auto number = static_cast<int32_t>(value);
            std::memcpy(field, &number, sizeof number);
            return true;
        }
        if (a->type == MPX_TYPE_CHAR && p.unit == ParamUnit::Character) {
            *field = p.text[0];
            return true;
        }
        ADD_FAILURE_AT(file_.c_str(), p.line) << "value '" << p.text << "' does not fit attribute "
                                              << p.word << " of type '" << a->type << "'";
        return false;
    }

    // Angle errors in metres along the meridian and the parallel of the
    // expected point.
    double angular_deviation(double lon, double lat, double lon_expected,
                             double lat_expected) const {
        const double a = has_ellipsoid_ ? radius_ : kMeanEarthRadius;
        const double e2 = has_ellipsoid_ ? eccentricity_ * eccentricity_ : 0.0;
        const double s = std::sin(lat_expected);
        const double w = 1.0 - e2 * s * s;
        const double meridian_radius = a * (1.0 - e2) / (w * std::sqrt(w));
        const double prime_vertical_radius = a / std::sqrt(w);
        const double dlon = std::remainder(lon - lon_expected, 2.0 * std::numbers::pi);
        const double deviation =
            std::max(std::fabs(lat - lat_expected) * meridian_radius,
                     std::fabs(dlon) * prime_vertical_radius * std::cos(lat_expected));
        return std::isnan(deviation) ? HUGE_VAL : deviation;
    }

    void check_forward(int line, double lon, double lat, double x_expected, double y_expected) {
        double x = NAN, y = NAN;
        const int status = forward()(record(), lon * kDegree, lat * kDegree, &x, &y);
        const double deviation = std::max(std::fabs(x - x_expected), std::fabs(y - y_expected));
        if (status != 0 || !(deviation <= tolerance_))
            ADD_FAILURE_AT(file_.c_str(), line)
                << "forward " << show_deg(lon, lat) << ": expected "
                << show_xy(x_expected, y_expected) << ", got " << show_xy(x, y) << " status "
                << status << ", deviation " << show(deviation, 6) << " m";
    }

    void check_inverse(int line, double x, double y, double lon_expected, double lat_expected) {
        double lon = NAN, lat = NAN;
        const int status = backward()(record(), x, y, &lon, &lat);
        const double deviation =
            angular_deviation(lon, lat, lon_expected * kDegree, lat_expected * kDegree);
        if (status != 0 || !(deviation <= tolerance_))
            ADD_FAILURE_AT(file_.c_str(), line)
                << "inverse " << show_xy(x, y) << ": expected "
                << show_deg(lon_expected, lat_expected) << ", got "
                << show_deg(lon / kDegree, lat / kDegree) << " status " << status << ", deviation "
                << show(deviation, 6) << " m";
    }

    void check_roundtrip(int line, double lon, double lat) {
        double x = NAN, y = NAN, lon_back = NAN, lat_back = NAN;
        const int forward_status = forward()(record(), lon * kDegree, lat * kDegree, &x, &y);
        const int backward_status = backward()(record(), x, y, &lon_back, &lat_back);
        const double deviation =
            angular_deviation(lon_back, lat_back, lon * kDegree, lat * kDegree);
        if (forward_status != 0 || backward_status != 0 || !(deviation <= tolerance_))
            ADD_FAILURE_AT(file_.c_str(), line)
                << "roundtrip " << show_deg(lon, lat) << " via " << show_xy(x, y) << ": got "
                << show_deg(lon_back / kDegree, lat_back / kDegree) << " statuses "
                << forward_status << "/" << backward_status << ", deviation " << show(deviation, 6)
                << " m";
    }

    std::string file_;
    std::string keyword_;
    int index_ = -1;
    bool has_ellipsoid_ = false;
    double radius_ = 0.0;
    double eccentricity_ = 0.0;
    std::vector<Directive> params_;
    double tolerance_ = -1.0;
    int init_status_ = 0;
    bool built_ = false;
    std::vector<double> storage_; // doubles keep the record aligned
};

// Runs one table file; every problem is a non-fatal failure at file:line.
void run_table(const std::string &path) {
    const projection_table::Table table = projection_table::read_table(path);
    for (const projection_table::LineError &error : table.errors)
        ADD_FAILURE_AT(path.c_str(), error.line) << error.text;
    std::vector<Block> blocks;
    int cases = 0;
    for (const Directive &d : table.directives) {
        if (d.kind == Kind::Projection) {
            blocks.emplace_back(path, d);
        } else if (blocks.empty()) {
            ADD_FAILURE_AT(path.c_str(), d.line) << "no projection line before this one";
        } else if (d.kind == Kind::Ellipsoid || d.kind == Kind::Param ||
                   d.kind == Kind::Tolerance || d.kind == Kind::FailsInit) {
            blocks.back().set(d);
        } else {
            blocks.back().run(d);
            ++cases;
        }
    }
    if (table.errors.empty() && cases == 0)
        ADD_FAILURE_AT(path.c_str(), 0) << "table has no cases";
}

const std::string kTableDir = MPX_SOURCE_DIR "tests/proj/tables/";

std::vector<std::string> table_files() {
    std::vector<std::string> files;
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator(kTableDir, error)) {
        if (entry.path().extension() == ".txt")
            files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

class ProjectionTable : public ::testing::TestWithParam<std::string> {};

TEST_P(ProjectionTable, MatchesEveryCase) { run_table(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Tables, ProjectionTable, ::testing::ValuesIn(table_files()),
                         [](const ::testing::TestParamInfo<std::string> &info) {
                             return std::filesystem::path(info.param).stem().string();
                         });

TEST(ProjectionTableRunner, FindsTheTransverseMercatorTables) {
    const std::vector<std::string> files = table_files();
    for (const char *name : {"tranmerc.txt", "stm.txt", "utm.txt"})
        EXPECT_NE(std::find(files.begin(), files.end(), kTableDir + name), files.end()) << name;
}

// The runner must be able to fail: a table with a wrong expectation, a
// malformed line and an unknown attribute each give a failure.
std::string write_temporary_table(const char *name, const char *text) {
    const char *dir = std::getenv("MPX_TEST_TMP");
    const std::filesystem::path folder =
        dir != nullptr ? std::filesystem::path(dir) : std::filesystem::temp_directory_path();
    const std::string path = (folder / name).string();
    std::ofstream(path) << text;
    return path;
}

TEST(ProjectionTableRunner, ReportsDeviationOfWrongExpectation) {
    const std::string path = write_temporary_table("wrong_forward.txt", "projection tranmerc\n"
                                                                        "ellipsoid 6378137 0.08\n"
                                                                        "param scale_factor 1\n"
                                                                        "tolerance 0.001 m\n"
                                                                        "forward 0 0 0.01 0\n");
    EXPECT_NONFATAL_FAILURE(run_table(path), "deviation 0.010000 m");
}

TEST(ProjectionTableRunner, ReportsMalformedLine) {
    const std::string path = write_temporary_table("malformed.txt", "projection tranmerc\n"
                                                                    "tolerance 0.001 m\n"
                                                                    "forward 0 0 zero 0\n");
    EXPECT_NONFATAL_FAILURE(run_table(path), "not a number: 'zero'");
}

TEST(ProjectionTableRunner, ReportsUnknownAttribute) {
    const std::string path = write_temporary_table("unknown.txt", "projection tranmerc\n"
                                                                  "param no_such_thing 1\n"
                                                                  "tolerance 0.001 m\n"
                                                                  "roundtrip 0 0\n");
    EXPECT_NONFATAL_FAILURE(run_table(path), "has no attribute no_such_thing");
}

TEST(ProjectionTableRunner, ReportsAnUnexpectedStatus) {
    const std::string path = write_temporary_table("wrong_status.txt", "projection tranmerc\n"
                                                                       "ellipsoid 1 0\n"
                                                                       "tolerance 0.001 m\n"
                                                                       "fails forward 90 0 1\n");
    EXPECT_NONFATAL_FAILURE(run_table(path), "Which is: 2");
}

} // namespace
