// Field entries: an affine map of the map coordinates in front of a base
// projection, one registry entry per base keyword.
#include "frame/support.hpp"
#include "proj/registry.hpp"
#include "tests/proj/registry_support.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

using registry_test::ErrorLines;
using registry_test::install_linear;
using registry_test::LinearRecord;
using Lines = std::vector<std::string>;

namespace {

// The affine block as the library initialisation describes it.
void hand_over_affine() {
    static double block[6];
    struct_begin("Affine", block);
    struct_add("%map_x_offset", &block[0], MPX_TYPE_DOUBLE);
    struct_add("%map_x_xfact", &block[1], MPX_TYPE_DOUBLE);
    struct_add("%map_x_yfact", &block[2], MPX_TYPE_DOUBLE);
    struct_add("%map_y_offset", &block[3], MPX_TYPE_DOUBLE);
    struct_add(".map_y_xfact", &block[4], MPX_TYPE_DOUBLE);
    struct_add(".map_y_yfact", &block[5], MPX_TYPE_DOUBLE);
    proj_set_affine(struct_end());
}

class FieldTest : public ::testing::Test {
  protected:
    void SetUp() override {
        hand_over_affine();
        ASSERT_EQ(install_linear(3), 0);
    }
    void TearDown() override { proj_free_params(&cs_); }

    // A field system on "linear" with the affine map (a0, a1, a2, b0, b1, b2).
    void make_field(const double (&affine)[6]) {
        LinearRecord base{};
        base.scale = 1000.0;
        base.false_east = 50.0;
        const int field = proj_field_entry("linear");
        ASSERT_GE(field, 0);
        cs_.params = proj_field_params(field, proj_find("linear"), affine, &base);
        ASSERT_NE(cs_.params, nullptr);
        cs_.projection.proj_index = field;
    }
    LinearRecord &base_record() {
        // "scale" opens the base record.
        return *reinterpret_cast<LinearRecord *>(static_cast<unsigned char *>(cs_.params) +
                                                 field_offset("scale"));
    }
    int field_offset(const char *name) {
        return struct_offset(proj_entry(cs_.projection.proj_index)->descriptor, name);
    }

    mpx_coord_sys cs_{};
};

} // namespace

TEST_F(FieldTest, EntryIsMadeOnceAndSharedPerBaseKeyword) {
    const int first = proj_field_entry("linear");
    EXPECT_EQ(first, 1);
    EXPECT_EQ(proj_field_entry("linear"), first);
    EXPECT_EQ(proj_count(), 2);
    const mpx_proj_entry *e = proj_entry(first);
    EXPECT_STREQ(e->descriptor->name, "field_linear");
    EXPECT_EQ(proj_find("field_linear"), first);
    EXPECT_EQ(e->mode, 3);
    EXPECT_EQ(e->param_size, 1100);
    EXPECT_EQ(e->radius_offset, -1);
    EXPECT_EQ(e->ecc_offset, -1);
}

TEST_F(FieldTest, DescriptorIsTheAffineBlockThenTheBaseRecordInside) {
    const struct_desc *d = proj_entry(proj_field_entry("linear"))->descriptor;
    const struct_desc *base = proj_entry(0)->descriptor;
    ASSERT_EQ(d->count, 6 + base->count);
    EXPECT_STREQ(d->attributes[0].name, "map_x_offset");
    EXPECT_EQ(d->attributes[0].offset, 0);
    EXPECT_EQ(d->attributes[5].offset, 40);
    EXPECT_EQ(d->attributes[5].access_class, MPX_ACCESS_HIDDEN);
    // The base record sits behind twelve doubles and the base index, on an
    // 8-byte boundary.
    for (int i = 0; i < base->count; ++i) {
        EXPECT_STREQ(d->attributes[6 + i].name, base->attributes[i].name);
        EXPECT_EQ(d->attributes[6 + i].offset, 104 + base->attributes[i].offset);
    }
}

TEST_F(FieldTest, PureShiftAddsOffsetsOnTheWayInAndTakesThemOffOnTheWayOut) {
    make_field({100.0, 1.0, 0.0, 200.0, 0.0, 1.0});
    ASSERT_EQ(proj_init_params(&cs_), 0);
    EXPECT_EQ(base_record().init_calls, 1);
    double lon = 0.0;
    double lat = 0.0;
    ASSERT_EQ(proj_backward_of(&cs_)(cs_.params, 1050.0, 2000.0, &lon, &lat), 0);
    EXPECT_EQ(base_record().last_in_1, 1150.0); // x + a0 reached the base
    EXPECT_EQ(base_record().last_in_2, 2200.0); // y + b0
    EXPECT_DOUBLE_EQ(lon, 1.1);
    EXPECT_DOUBLE_EQ(lat, 2.2);
    double x = 0.0;
    double y = 0.0;
    ASSERT_EQ(proj_forward_of(&cs_)(cs_.params, 1.1, 2.2, &x, &y), 0);
    EXPECT_DOUBLE_EQ(x, 1050.0);
    EXPECT_DOUBLE_EQ(y, 2000.0);
}

TEST_F(FieldTest, RotationWithScaleMapsGridToBaseAndBackAgain) {
    // 30 degrees and a scale of 2, as the database gives it: b1 = -a2, b2 = a1.
    const double a1 = 2.0 * std::cos(std::numbers::pi / 6.0);
    const double a2 = 2.0 * std::sin(std::numbers::pi / 6.0);
    make_field({10.0, a1, a2, -20.0, -a2, a1});
    ASSERT_EQ(proj_init_params(&cs_), 0);
    double lon = 0.0;
    double lat = 0.0;
    ASSERT_EQ(proj_backward_of(&cs_)(cs_.params, 3.0, 4.0, &lon, &lat), 0);
    EXPECT_NEAR(base_record().last_in_1, 10.0 + std::sqrt(3.0) * 3.0 + 4.0, 1e-12);
    EXPECT_NEAR(base_record().last_in_2, -20.0 - 3.0 + std::sqrt(3.0) * 4.0, 1e-12);
    double x = 0.0;
    double y = 0.0;
    ASSERT_EQ(proj_forward_of(&cs_)(cs_.params, lon, lat, &x, &y), 0);
    EXPECT_NEAR(x, 3.0, 1e-9);
    EXPECT_NEAR(y, 4.0, 1e-9);
}

TEST_F(FieldTest, SingularAffineMapFailsInitWithoutReachingTheBase) {
    make_field({1.0, 0.0, 0.0, 2.0, 0.0, 0.0});
    ErrorLines errors;
    EXPECT_NE(proj_init_params(&cs_), 0);
    EXPECT_EQ(errors.take(), (Lines{"S1:projection initialisation"}));
    EXPECT_EQ(base_record().init_calls, 0);
}

TEST_F(FieldTest, LongCutOfTheBaseIsVisibleThroughTheField) {
    make_field({0.0, 1.0, 0.0, 0.0, 0.0, 1.0});
    ASSERT_EQ(proj_init_params(&cs_), 0);
    double cut = 0.0;
    EXPECT_EQ(proj_long_cut(&cs_, &cut), 1);
    EXPECT_EQ(cut, -3.0);
}

TEST_F(FieldTest, ParametersCarryTheBaseIndexAndACopyOfTheBaseRecord) {
    make_field({0.0, 1.0, 0.0, 0.0, 0.0, 1.0});
    EXPECT_EQ(base_record().scale, 1000.0);
    EXPECT_EQ(base_record().false_east, 50.0);
    char name[] = "false_east";
    char type = MPX_TYPE_DOUBLE;
    double value = 0.0;
    ASSERT_EQ(struct_inq(proj_entry(cs_.projection.proj_index)->descriptor, cs_.params, name, &type,
                         &value, 8),
              0);
    EXPECT_EQ(value, 50.0);
}

TEST_F(FieldTest, UnknownBaseIsReported) {
    ErrorLines errors;
    EXPECT_EQ(proj_field_entry("nowhere"), -1);
    EXPECT_EQ(errors.take(), (Lines{"S1:Base projection not found"}));
    EXPECT_EQ(proj_count(), 1);
}

TEST_F(FieldTest, FullRegistryRefusesANewFieldEntryButKeepsAnExistingOne) {
    const int existing = proj_field_entry("linear");
    while (proj_count() < MPX_MAX_PROJECTIONS)
        ASSERT_EQ(install_linear(0, "other"), 0);
    EXPECT_EQ(proj_field_entry("linear"), existing);
    ASSERT_EQ(proj_count(), MPX_MAX_PROJECTIONS);
    ErrorLines errors;
    EXPECT_EQ(proj_field_entry("other"), -1);
    EXPECT_EQ(errors.take(), (Lines{"S1:Too many base projections"}));
}

TEST_F(FieldTest, BaseRecordLargerThanTheFieldRecordHoldsIsRefusedUncounted) {
    static unsigned char big[2000];
    mpx_proj_create("big", big, static_cast<int>(sizeof big));
    mpx_proj_ins_par("first", big, MPX_TYPE_DOUBLE);
    ASSERT_EQ(mpx_proj_end(), 0);
    ErrorLines errors;
    EXPECT_EQ(proj_field_entry("big"), -1);
    EXPECT_EQ(errors.take(), (Lines{"S1:Base projection record too large for a field projection"}));
    EXPECT_EQ(proj_count(), 2);
    const double shift[6] = {0.0, 1.0, 0.0, 0.0, 0.0, 1.0};
    EXPECT_EQ(proj_field_params(proj_field_entry("linear"), 2, shift, big), nullptr);
}

TEST_F(FieldTest, BaseWithMoreThanThirtyThreeAttributesCannotBeDescribed) {
    static double many[34];
    static const char *names[34];
    static char texts[34][8];
    mpx_proj_create("many", many, static_cast<int>(sizeof many));
    for (int i = 0; i < 34; ++i) {
        std::snprintf(texts[i], sizeof texts[i], "p%d", i);
        names[i] = texts[i];
        mpx_proj_ins_par(names[i], &many[i], MPX_TYPE_DOUBLE);
    }
    ASSERT_EQ(mpx_proj_end(), 0);
    ErrorLines errors;
    EXPECT_EQ(proj_field_entry("many"), -1);
    EXPECT_EQ(errors.take(), (Lines{"S1:Bad structure formation"}));
    EXPECT_EQ(proj_count(), 2);
}

TEST_F(FieldTest, ParameterRecordShortageIsReported) {
    const int field = proj_field_entry("linear");
    const double shift[6] = {0.0, 1.0, 0.0, 0.0, 0.0, 1.0};
    LinearRecord base{};
    ErrorLines errors;
    qmsc_FailAfter(0);
    EXPECT_EQ(proj_field_params(field, 0, shift, &base), nullptr);
    qmsc_FailAfter(-1);
    EXPECT_EQ(errors.take(), (Lines{"S1:memory shortage"}));
}

TEST_F(FieldTest, KeywordShortageLeavesTheEntryCountedAndUnfindable) {
    ErrorLines errors;
    qmsc_FailAfter(0);
    EXPECT_EQ(proj_field_entry("linear"), -1);
    qmsc_FailAfter(-1);
    EXPECT_EQ(errors.take(), (Lines{"S1:memory shortage"}));
    EXPECT_EQ(proj_count(), 2);
    EXPECT_EQ(proj_find("field_linear"), -1);
    EXPECT_EQ(proj_field_entry("linear"), 2); // a later attempt succeeds
}
