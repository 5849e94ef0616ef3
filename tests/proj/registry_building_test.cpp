// Building registry entries, their limits, lookup by keyword and the
// special entry of geodetic and geocentric systems.
#include "frame/support.hpp"
#include "proj/registry.hpp"
#include "tests/proj/registry_support.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using registry_test::ErrorLines;
using registry_test::install_linear;
using Lines = std::vector<std::string>;

namespace {

struct Pair {
    double first;
    std::int32_t second;
};

int install_pair(const char *keyword) {
    Pair p{};
    mpx_proj_create(keyword, &p, static_cast<int>(sizeof p));
    mpx_proj_ins_par("first", &p.first, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".second", &p.second, MPX_TYPE_LONG);
    return mpx_proj_end();
}

} // namespace

TEST(RegistryBuilding, EntryKeepsRoutinesSizeAndEllipsoidOffsets) {
    ASSERT_EQ(install_linear(2), 0);
    const mpx_proj_entry *e = proj_entry(proj_find("linear"));
    ASSERT_NE(e, nullptr);
    EXPECT_STREQ(e->descriptor->name, "linear");
    EXPECT_EQ(e->descriptor->count, 5);
    EXPECT_EQ(e->init, registry_test::linear_init);
    EXPECT_EQ(e->forward, registry_test::linear_forward);
    EXPECT_EQ(e->backward, registry_test::linear_backward);
    EXPECT_EQ(e->mode, 2);
    EXPECT_EQ(e->param_size, static_cast<int>(sizeof(registry_test::LinearRecord)));
    EXPECT_EQ(e->radius_offset, offsetof(registry_test::LinearRecord, radius));
    EXPECT_EQ(e->ecc_offset, offsetof(registry_test::LinearRecord, eccentricity));
}

TEST(RegistryBuilding, InstallerWithoutModeOrEllipsoidGetsZeroModeAndNoOffsets) {
    ASSERT_EQ(install_pair("pair"), 0);
    const mpx_proj_entry *e = proj_entry(0);
    EXPECT_EQ(e->mode, 0);
    EXPECT_EQ(e->radius_offset, -1);
    EXPECT_EQ(e->ecc_offset, -1);
    EXPECT_EQ(e->init, nullptr);
}

TEST(RegistryBuilding, BuildingOperationsOutsideCreationAreRefused) {
    ErrorLines errors;
    double field = 0.0;
    EXPECT_EQ(mpx_proj_ins_par("x", &field, MPX_TYPE_DOUBLE), -1);
    EXPECT_EQ(mpx_proj_ins_funcs(nullptr, nullptr, nullptr), -1);
    EXPECT_EQ(mpx_proj_ins_mode(1), -1);
    EXPECT_EQ(mpx_proj_end(), -1);
    EXPECT_EQ(errors.take(),
              (Lines{"P1:Not creating a projection", "P2:Not creating a projection",
                     "P2:Not creating a projection", "P2:Not creating a projection"}));
    EXPECT_EQ(proj_count(), 0);
}

TEST(RegistryBuilding, CallsAfterEndLeaveTheLastEntryIntact) {
    ASSERT_EQ(install_linear(2), 0);
    ErrorLines errors;
    EXPECT_EQ(mpx_proj_ins_mode(1), -1);
    EXPECT_EQ(mpx_proj_end(), -1);
    EXPECT_EQ(errors.take(),
              (Lines{"P1:Not creating a projection", "P2:Not creating a projection"}));
    const mpx_proj_entry *e = proj_entry(0);
    EXPECT_EQ(e->mode, 2);
    ASSERT_NE(e->descriptor, nullptr);
    EXPECT_STREQ(e->descriptor->name, "linear");
}

TEST(RegistryBuilding, FiftyFirstEntryIsRefused) {
    for (int i = 0; i < MPX_MAX_PROJECTIONS; ++i)
        ASSERT_EQ(install_pair("pair"), 0) << "entry " << i;
    ErrorLines errors;
    Pair p{};
    EXPECT_EQ(mpx_proj_create("late", &p, 16), -1);
    EXPECT_EQ(errors.take(), (Lines{"S1:Too many base projections"}));
    EXPECT_EQ(proj_count(), MPX_MAX_PROJECTIONS);
    // The refused creation opened nothing.
    EXPECT_EQ(mpx_proj_end(), -1);
}

TEST(RegistryBuilding, EntryWithoutDescriptorStaysCountedButIsNeverFound) {
    ErrorLines errors;
    Pair p{};
    qmsc_FailAfter(0); // the descriptor cannot be allocated
    EXPECT_EQ(mpx_proj_create("broken", &p, 16), 0);
    qmsc_FailAfter(-1);
    EXPECT_EQ(mpx_proj_end(), -1);
    const Lines lines = errors.take();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "S2:Error creating a projection");
    EXPECT_EQ(proj_count(), 1);
    EXPECT_EQ(proj_find("broken"), -1);
    ASSERT_EQ(install_pair("after"), 0);
    EXPECT_EQ(proj_find("after"), 1);
}

TEST(RegistryBuilding, NullKeywordOrNegativeSizeIsRefusedUncounted) {
    ErrorLines errors;
    Pair p{};
    EXPECT_EQ(mpx_proj_create(nullptr, &p, 16), -1);
    EXPECT_EQ(mpx_proj_create("negative", &p, -8), -1);
    EXPECT_EQ(errors.take(),
              (Lines{"S1:Error creating a projection", "S2:Error creating a projection"}));
    EXPECT_EQ(proj_count(), 0);
}

TEST(RegistryLookup, FindIsExactCaseSensitiveAndPrefersTheFirstCopy) {
    EXPECT_EQ(proj_find("linear"), -1); // empty registry
    ASSERT_EQ(install_pair("pair"), 0);
    ASSERT_EQ(install_linear(), 0);
    ASSERT_EQ(install_linear(), 0);
    EXPECT_EQ(proj_count(), 3);
    EXPECT_EQ(proj_find("linear"), 1);
    EXPECT_EQ(proj_find("LINEAR"), -1);
    EXPECT_EQ(proj_find("line"), -1);
    EXPECT_EQ(proj_find("linearx"), -1);
    EXPECT_EQ(proj_find(nullptr), -1);
    EXPECT_EQ(proj_entry(3), nullptr);
    EXPECT_EQ(proj_entry(-1), nullptr);
}

TEST(RegistrySpecialEntry, IsOutsideTheCountAndItsRoutinesReportTheirCall) {
    char sample = 0;
    ASSERT_EQ(struct_begin("special...", &sample), 0);
    struct_desc *special = struct_end();
    ASSERT_NE(special, nullptr);
    proj_set_special(special);
    EXPECT_EQ(proj_count(), 0);
    EXPECT_EQ(proj_find("special..."), -1);

    const mpx_proj_entry *e = proj_entry(MPX_SPECIAL_PROJECTION);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->descriptor, special);
    EXPECT_EQ(e->mode, 0);
    EXPECT_EQ(e->param_size, 0);
    EXPECT_EQ(e->radius_offset, -1);
    EXPECT_EQ(e->ecc_offset, -1);

    ErrorLines errors;
    double x = 1.0;
    double y = 2.0;
    EXPECT_EQ(e->init(nullptr), -999);
    EXPECT_EQ(e->forward(nullptr, 0.0, 0.0, &x, &y), -999);
    EXPECT_EQ(e->backward(nullptr, 0.0, 0.0, &x, &y), -999);
    EXPECT_EQ(x, 1.0);
    EXPECT_EQ(errors.take(), (Lines{"P1:mpx_dummy() called (it should not be!)",
                                    "P2:mpx_dummy() called (it should not be!)",
                                    "P2:mpx_dummy() called (it should not be!)"}));
}
