// The angle helpers, overflow predicates and guarded complex arithmetic at
// their edges (thresholds, signed zeros, NaN, infinities, DBL_MAX), read
// from tables in tests/numeric/data: one case a line, a name then numbers.
#include "mpxlib.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Row = std::vector<double>;

// Calls check for every case, with the file and line in any failure. strtod
// reads nan, inf and -0, which the stream operators do not.
void for_each_case(const std::string &file,
                   const std::function<void(const std::string &, const Row &)> &check) {
    std::ifstream table(MPX_SOURCE_DIR "tests/numeric/data/" + file);
    ASSERT_TRUE(table) << file;
    std::string line;
    for (int number = 1; std::getline(table, line); ++number) {
        std::istringstream fields(line.substr(0, line.find('#')));
        std::string name, word;
        Row values;
        if (!(fields >> name))
            continue;
        while (fields >> word)
            values.push_back(std::strtod(word.c_str(), nullptr));
        SCOPED_TRACE(testing::Message() << file << ":" << number << ": " << line);
        check(name, values);
    }
}

// Rows: x, f(x) and a tolerance (else 1e-15 of f(x)); nan is any NaN, and
// the sign of a zero counts.
TEST(AngleHelpers, MeetEveryTabulatedEdge) {
    const std::map<std::string, double (*)(double)> functions = {{"normal_pi", mpx_normal_pi},
                                                                 {"asin", mpx_asin},
                                                                 {"acos", mpx_acos},
                                                                 {"acosh", mpx_acosh},
                                                                 {"atanh", mpx_atanh}};
    for_each_case("angle_edges.txt", [&](const std::string &name, const Row &v) {
        ASSERT_TRUE(functions.count(name) && (v.size() == 2 || v.size() == 3));
        const double got = functions.at(name)(v[0]), want = v[1];
        const double tolerance = v.size() == 3 ? v[2] : 1e-15 * std::fabs(want);
        if (std::isnan(want))
            EXPECT_TRUE(std::isnan(got)) << got;
        else
            EXPECT_TRUE((got == want || std::fabs(got - want) <= tolerance) &&
                        std::signbit(got) == std::signbit(want))
                << got;
    });
}

// The operands' status (1 here) is not looked at.
TEST(ComplexArithmetic, PredicatesAndOperationsMeetEveryTabulatedEdge) {
    const std::map<std::string, int (*)(double, double)> predicates = {
        {"check_add", mpx_check_add},
        {"check_subtract", mpx_check_subtract},
        {"check_multiply", mpx_check_multiply},
        {"check_divide", mpx_check_divide}};
    const std::map<std::string, mpx_complex (*)(mpx_complex, mpx_complex)> operations = {
        {"complex_add", mpx_complex_add},
        {"complex_subtract", mpx_complex_subtract},
        {"complex_multiply", mpx_complex_multiply},
        {"complex_divide", mpx_complex_divide},
        {"complex_power", [](mpx_complex z, mpx_complex p) { return mpx_complex_power(z, p.re); }}};
    for_each_case("complex_edges.txt", [&](const std::string &name, const Row &v) {
        if (predicates.count(name) && v.size() == 3) {
            EXPECT_EQ(predicates.at(name)(v[0], v[1]), v[2]);
            return;
        }
        ASSERT_TRUE(operations.count(name) && v.size() == 7);
        const mpx_complex c = operations.at(name)({v[0], v[1], 1}, {v[2], v[3], 1});
        EXPECT_EQ(c.status, v[4]);
        EXPECT_NEAR(c.re, v[5], 1e-15 * (1 + std::fabs(v[5])));
        EXPECT_NEAR(c.im, v[6], 1e-15 * (1 + std::fabs(v[6])));
    });
}

} // namespace
