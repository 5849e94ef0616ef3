// The test projections "proj_a" and "proj_b" and the template "xxxx", used
// through the registry as a host would.
#include "frame/support.hpp"
#include "proj/registry.hpp"
#include "tests/proj/registry_support.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <numbers>
#include <string>

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace {

// A zeroed record of an installed entry, filled by attribute name.
class Instance {
  public:
    explicit Instance(const char *keyword) : entry_(proj_entry(proj_find(keyword))) {
        EXPECT_NE(entry_, nullptr) << keyword;
        if (entry_)
            record_.assign(static_cast<std::size_t>(entry_->param_size), 0);
    }
    template <typename T> void set(const char *name, T value, char type) {
        ASSERT_EQ(struct_mod(entry_->descriptor, data(), name, &type, &value), 0) << name;
    }
    double get_double(const char *name) {
        std::string buffer(name);
        char type = MPX_TYPE_DOUBLE;
        double value = 0.0;
        EXPECT_EQ(struct_inq(entry_->descriptor, data(), buffer.data(), &type, &value, 8), 0);
        return value;
    }
    void *data() { return record_.data(); }
    const mpx_proj_entry &entry() { return *entry_; }

  private:
    const mpx_proj_entry *entry_;
    std::vector<unsigned char> record_;
};

} // namespace

TEST(ProjA, ParametersReachTheirFieldsDespiteTheRecordOrder) {
    ASSERT_EQ(proj_a_install(), 0);
    Instance a("proj_a");
    a.set("param_one", 10.0, MPX_TYPE_DOUBLE);
    a.set("tid", std::int32_t{42}, MPX_TYPE_LONG);
    a.set("p_char", 'q', MPX_TYPE_CHAR);
    a.set("param_three", std::int32_t{-5}, MPX_TYPE_LONG);
    CaptureStdout();
    EXPECT_EQ(a.entry().init(a.data()), 0);
    EXPECT_EQ(GetCapturedStdout(),
              "\n proj_a_init() called \n test message = <proj_a test message>, tid = 42 ");
    EXPECT_EQ(a.get_double("long_cut"), 190.0);
    EXPECT_EQ(a.entry().mode, 0);
    EXPECT_EQ(a.entry().descriptor->count, 8);
    // The record keeps radius and eccentricity before p_char and tid.
    EXPECT_LT(a.entry().ecc_offset, struct_offset(a.entry().descriptor, "p_char"));
    EXPECT_LT(struct_offset(a.entry().descriptor, "p_char"),
              struct_offset(a.entry().descriptor, "tid"));
}

TEST(ProjA, ForwardAndBackwardExchangeTheCoordinatesAndPrintTwoLines) {
    ASSERT_EQ(proj_a_install(), 0);
    Instance a("proj_a");
    a.set("tid", std::int32_t{3}, MPX_TYPE_LONG);
    CaptureStdout();
    ASSERT_EQ(a.entry().init(a.data()), 0);
    GetCapturedStdout();
    double x = 0.0;
    double y = 0.0;
    CaptureStdout();
    EXPECT_EQ(a.entry().forward(a.data(), 0.1, 0.2, &x, &y), 0);
    EXPECT_EQ(GetCapturedStdout(),
              "\n proj_a_forward() called \n test message = <proj_a test message>, tid = 3 ");
    EXPECT_EQ(x, 0.2);
    EXPECT_EQ(y, 0.1);
    double lon = 0.0;
    double lat = 0.0;
    CaptureStdout();
    EXPECT_EQ(a.entry().backward(a.data(), x, y, &lon, &lat), 0);
    EXPECT_EQ(GetCapturedStdout(),
              "\n proj_a_backward() called \n test message = <proj_a test message>, tid = 3 ");
    EXPECT_EQ(lon, 0.1);
    EXPECT_EQ(lat, 0.2);
}

TEST(ProjB, InstallsWithModeZeroAndRoundTrips) {
    ASSERT_EQ(proj_b_install(), 0);
    Instance b("proj_b");
    EXPECT_EQ(b.entry().mode, 0);
    EXPECT_EQ(b.entry().ecc_offset, -1);
    CaptureStdout();
    ASSERT_EQ(b.entry().init(b.data()), 0);
    double x = 0.0;
    double y = 0.0;
    double lon = 0.0;
    double lat = 0.0;
    EXPECT_EQ(b.entry().forward(b.data(), -1.25, 0.5, &x, &y), 0);
    EXPECT_EQ(b.entry().backward(b.data(), x, y, &lon, &lat), 0);
    EXPECT_EQ(GetCapturedStdout(),
              "\n CALLED proj_b_init() "
              "\n CALLED proj_b_forward() \n test message = <proj_b test message>"
              "\n CALLED proj_b_backward() \n test message = <proj_b test message>");
    EXPECT_EQ(x, 0.5);
    EXPECT_EQ(y, -1.25);
    EXPECT_EQ(lon, -1.25);
    EXPECT_EQ(lat, 0.5);
}

TEST(ProjB, InstalledTwiceGivesTwoEntriesAndLookupFindsTheFirst) {
    ASSERT_EQ(proj_a_install(), 0);
    ASSERT_EQ(proj_b_install(), 0);
    ASSERT_EQ(proj_b_install(), 0);
    EXPECT_EQ(proj_count(), 3);
    EXPECT_EQ(proj_find("proj_b"), 1);
}

TEST(TestInstallers, ReportSuccessEvenWhenTheRegistryIsFull) {
    while (proj_count() < MPX_MAX_PROJECTIONS)
        ASSERT_EQ(registry_test::install_linear(), 0);
    registry_test::ErrorLines errors;
    EXPECT_EQ(proj_a_install(), 0);
    EXPECT_EQ(proj_b_install(), 0);
    EXPECT_EQ(mpx_xxxx_install(), -1);
    EXPECT_EQ(proj_find("proj_a"), -1);
}

TEST(Template, InstallsTheLargestParameterSetWithModeOne) {
    ASSERT_EQ(mpx_xxxx_install(), 0);
    Instance t("xxxx");
    EXPECT_EQ(t.entry().mode, 1);
    EXPECT_EQ(t.entry().descriptor->count, 20);
    EXPECT_GE(t.entry().ecc_offset, 0);
    t.set("centre_merid", 0.5, MPX_TYPE_DOUBLE);
    double x = 7.0;
    double y = 7.0;
    double lon = 7.0;
    double lat = 7.0;
    CaptureStdout();
    EXPECT_EQ(t.entry().init(t.data()), 0);
    EXPECT_EQ(t.entry().forward(t.data(), 1.0, 0.5, &x, &y), 0);
    EXPECT_EQ(t.entry().backward(t.data(), 100.0, 200.0, &lon, &lat), 0);
    EXPECT_EQ(GetCapturedStdout(), "\n mpx_xxxx_init() not yet implemented "
                                   "\n mpx_xxxx_forward() not yet implemented "
                                   "\n mpx_xxxx_backward() not yet implemented ");
    EXPECT_DOUBLE_EQ(t.get_double("long_cut"), 0.5 - std::numbers::pi);
    EXPECT_EQ(x, 0.0);
    EXPECT_EQ(y, 0.0);
    EXPECT_EQ(lon, 0.0);
    EXPECT_EQ(lat, 0.0);
}
