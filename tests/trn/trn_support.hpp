// Shared set-up of the transformation tests: the fixture database, the
// message collector, two identity test projections with a longitude window
// and a helper to make systems and pairs.
#pragma once

#include "mpxlib.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace trn_test {

// Messages received by the installed handler, in order.
std::vector<std::string> &lines();
// Returns the collected messages and forgets them.
std::vector<std::string> take_lines();

// "probe" (mode 0) and "freeprobe" (mode 1): identity projections in
// radians whose window starts at their "cut" parameter. Forward refuses a
// latitude above kProbeLatLimit with status 1, backward an x above
// kProbeEastLimit with status 2.
constexpr double kProbeLatLimit = 1.5;
constexpr double kProbeEastLimit = 100.0;
void install_probes();

// Degrees, and the two published angle formats of the worked examples.
constexpr double kPi = 3.141592653589793;
double radians(double degrees);
double dms(double degrees, double minutes, double seconds);

struct Point {
    double x, y, z;
};

class TrnTest : public ::testing::Test {
  protected:
    // Points the library at database_folder() and installs the collector;
    // the library is initialised and the test projections are installed.
    void SetUp() override;
    void TearDown() override;
    // The fixture tables; tests that write grid files use a copy.
    virtual std::string database_folder();
    // A copy of the fixture tables in a folder of this test's own under
    // MPX_TEST_TMP; returns the folder, ending with '/'.
    static std::string copy_of_fixture(const char *name);

    int locked(const char *datum, const char *projection, const char *units = "degrees");
    int unlocked(const char *datum, const char *projection, const char *units = "degrees");
    // Makes (source, target) current; both calls must succeed.
    void select(int source, int target);
    // Transforms one point; the result code, with the output in `out`.
    int transform(Point in, Point &out);
};

} // namespace trn_test
