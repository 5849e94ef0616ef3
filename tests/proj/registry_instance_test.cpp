// A coordinate system's projection instance through the registry, and the
// unit names of metre factors.
#include "frame/support.hpp"
#include "proj/registry.hpp"
#include "tests/proj/registry_support.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

using registry_test::ErrorLines;
using registry_test::install_linear;
using registry_test::LinearRecord;
using Lines = std::vector<std::string>;

namespace {

int failing_init(void *) noexcept { return 7; }

struct Bare {
    double value;
};

int install_failing() {
    Bare b{};
    mpx_proj_create("failing", &b, static_cast<int>(sizeof b));
    mpx_proj_ins_par("value", &b.value, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(failing_init, registry_test::linear_forward, registry_test::linear_backward);
    return mpx_proj_end();
}

mpx_coord_sys system_on(int index) {
    mpx_coord_sys cs{};
    cs.projection.proj_index = index;
    return cs;
}

} // namespace

TEST(RegistryInstance, ParameterRecordIsZeroedAndSizedByTheEntry) {
    ASSERT_EQ(install_linear(), 0);
    mpx_coord_sys cs = system_on(0);
    EXPECT_EQ(proj_alloc_params(&cs), static_cast<int>(sizeof(LinearRecord)));
    ASSERT_NE(cs.params, nullptr);
    const LinearRecord zero{};
    EXPECT_EQ(std::memcmp(cs.params, &zero, sizeof zero), 0);
    proj_free_params(&cs);
    EXPECT_EQ(cs.params, nullptr);
}

TEST(RegistryInstance, ParameterRecordShortageIsReported) {
    ASSERT_EQ(install_linear(), 0);
    mpx_coord_sys cs = system_on(0);
    ErrorLines errors;
    qmsc_FailAfter(0);
    EXPECT_EQ(proj_alloc_params(&cs), -1);
    qmsc_FailAfter(-1);
    EXPECT_EQ(cs.params, nullptr);
    EXPECT_EQ(errors.take(), (Lines{"S1:memory shortage"}));
}

TEST(RegistryInstance, InitRunsTheEntryRoutineAndReportsItsFailure) {
    ASSERT_EQ(install_linear(), 0);
    ASSERT_EQ(install_failing(), 0);
    mpx_coord_sys good = system_on(0);
    mpx_coord_sys bad = system_on(1);
    ASSERT_GT(proj_alloc_params(&good), 0);
    ASSERT_GT(proj_alloc_params(&bad), 0);
    ErrorLines errors;
    EXPECT_EQ(proj_init_params(&good), 0);
    EXPECT_EQ(static_cast<LinearRecord *>(good.params)->init_calls, 1);
    EXPECT_EQ(errors.take(), Lines{});
    EXPECT_EQ(proj_init_params(&bad), 7);
    EXPECT_EQ(errors.take(), (Lines{"S1:projection initialisation"}));
    proj_free_params(&good);
    proj_free_params(&bad);
}

TEST(RegistryInstance, RoutinesAndModeComeFromTheEntry) {
    ASSERT_EQ(install_failing(), 0);
    ASSERT_EQ(install_linear(1), 0);
    const mpx_coord_sys cs = system_on(1);
    EXPECT_EQ(proj_forward_of(&cs), registry_test::linear_forward);
    EXPECT_EQ(proj_backward_of(&cs), registry_test::linear_backward);
    EXPECT_EQ(proj_mode_of(&cs), 1);
    const mpx_coord_sys nowhere = system_on(7);
    EXPECT_EQ(proj_forward_of(&nowhere), nullptr);
    EXPECT_EQ(proj_mode_of(&nowhere), 0);
}

TEST(RegistryInstance, LongCutIsReadByNameOnlyWhereDeclared) {
    ASSERT_EQ(install_linear(), 0);
    ASSERT_EQ(install_failing(), 0);
    mpx_coord_sys with_cut = system_on(0);
    mpx_coord_sys without_cut = system_on(1);
    ASSERT_GT(proj_alloc_params(&with_cut), 0);
    ASSERT_GT(proj_alloc_params(&without_cut), 0);
    ASSERT_EQ(proj_init_params(&with_cut), 0);
    double cut = 99.0;
    EXPECT_EQ(proj_long_cut(&with_cut, &cut), 1);
    EXPECT_EQ(cut, -3.0);
    cut = 99.0;
    EXPECT_EQ(proj_long_cut(&without_cut, &cut), 0);
    EXPECT_EQ(cut, 99.0);
    proj_free_params(&with_cut);
    proj_free_params(&without_cut);
}

TEST(RegistryUnits, MetreFactorsNameTheFirstUnitWithinOneMillimetre) {
    struct Case {
        double factor;
        const char *name;
    };
    const Case cases[] = {
        {1.0, "metres"},         {1.0005, "metres"},   {0.999, "????"},    {0.3048, "feet"},
        {0.30479, "feet"},       {0.3058, "????"},     {0.91439, "yards"}, {0.9144, "yards"},
        {0.201167, "links"},     {20.01167, "chains"}, {20.1168, "????"},  {3.7782, "roods"},
        {375.0, "Vorlan Units"}, {0.5, "????"},        {0.0, "????"},      {-1.0, "????"},
        {std::nan(""), "????"},  {INFINITY, "????"},
    };
    for (const Case &c : cases)
        EXPECT_STREQ(proj_unit_name(c.factor), c.name) << "factor " << c.factor;
}
