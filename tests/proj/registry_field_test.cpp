// Field entries: an affine map in front of a base projection, one entry per
// base keyword. The base "proj_a" exchanges the coordinates.
#include "frame/support.hpp"
#include "tests/common/fresh_process.hpp"
#include "tests/proj/support.hpp"

#include <cmath>

using namespace proj_test;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace {

constexpr double kIdentity[6] = {0.0, 1.0, 0.0, 0.0, 0.0, 1.0};

class FieldTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MPX_SKIP_UNLESS_FRESH_PROCESS();
        // The affine block as the library initialisation describes it.
        static double block[6];
        struct_begin("Affine", block);
        const char *names[6] = {"%map_x_offset", "%map_x_xfact", "%map_x_yfact",
                                "%map_y_offset", ".map_y_xfact", ".map_y_yfact"};
        for (int i = 0; i < 6; ++i)
            struct_add(names[i], &block[i], MPX_TYPE_DOUBLE);
        proj_set_affine(struct_end());
        ASSERT_EQ(proj_a_install(), 0);
        collect_errors();
        CaptureStdout();
    }
    void TearDown() override {
        if (IsSkipped())
            return; // stdout was never captured
        proj_free_params(&cs_);
        GetCapturedStdout();
    }

    // A field system on "proj_a" with the map (a0, a1, a2, b0, b1, b2).
    void make_field(const double (&affine)[6]) {
        const std::vector<char> base(static_cast<std::size_t>(proj_entry(0)->param_size));
        cs_.projection.proj_index = proj_field_entry("proj_a");
        cs_.params = proj_field_params(cs_.projection.proj_index, 0, affine, base.data());
        ASSERT_NE(cs_.params, nullptr);
    }
    mpx_coord_sys cs_{};
};

} // namespace

TEST_F(FieldTest, EntryIsMadeOnceAndSharedPerBaseKeyword) {
    const int first = proj_field_entry("proj_a");
    EXPECT_EQ(
        std::tuple(first, proj_field_entry("proj_a"), proj_count(), proj_find("field_proj_a")),
        std::tuple(1, 1, 2, 1));
    const mpx_proj_entry &e = *proj_entry(first);
    EXPECT_EQ(std::tuple(e.mode, e.param_size, e.radius_offset), std::tuple(0, 1100, -1));
    // The affine block, then the base record behind 12 doubles and an index.
    const struct_desc &d = *e.descriptor, &base = *proj_entry(0)->descriptor;
    EXPECT_EQ(
        std::tuple(d.count, std::string(d.attributes[0].name), std::string(d.attributes[6].name),
                   d.attributes[6].offset),
        std::tuple(6 + base.count, "map_x_offset", "param_one", 104 + base.attributes[0].offset));
    ASSERT_EQ(mpx_mercator_install(), 0);
    EXPECT_EQ(proj_entry(proj_field_entry("mercator"))->mode, 1); // the base's mode
}

TEST_F(FieldTest, ShiftAndRotationMapGridToBaseAndBackAgain) {
    // A pure shift; then 30 degrees and a scale of 2 as the database gives
    // it (b1 = -a2, b2 = a1): base x = a0 + a1 x + a2 y, y = b0 + b1 x + b2 y.
    const double c = std::sqrt(3.0), s = 1.0;
    const double maps[2][6] = {{100.0, 1.0, 0.0, 200.0, 0.0, 1.0}, {10.0, c, s, -20.0, -s, c}};
    for (const auto &m : maps) {
        proj_free_params(&cs_);
        make_field(m);
        ASSERT_EQ(proj_init_params(&cs_), 0);
        double lon = 0.0, lat = 0.0, x = 0.0, y = 0.0, cut = 0.0;
        ASSERT_EQ(proj_backward_of(&cs_)(cs_.params, 3.0, 4.0, &lon, &lat), 0);
        EXPECT_NEAR(lat, m[0] + m[1] * 3.0 + m[2] * 4.0, 1e-12); // proj_a exchanges
        EXPECT_NEAR(lon, m[3] + m[4] * 3.0 + m[5] * 4.0, 1e-12);
        ASSERT_EQ(proj_forward_of(&cs_)(cs_.params, lon, lat, &x, &y), 0);
        EXPECT_TRUE(std::fabs(x - 3.0) < 1e-12 && std::fabs(y - 4.0) < 1e-12) << x << " " << y;
        EXPECT_EQ(std::tuple(proj_long_cut(&cs_, &cut), cut), std::tuple(1, 180.0));
    }
}

TEST_F(FieldTest, SingularAffineMapFailsInitWithoutReachingTheBase) {
    make_field({1.0, 0.0, 0.0, 2.0, 0.0, 0.0});
    EXPECT_NE(proj_init_params(&cs_), 0);
    EXPECT_EQ(take_errors(), (Lines{"S1:projection initialisation"}));
    EXPECT_EQ(GetCapturedStdout(), "");
    CaptureStdout();
}

TEST_F(FieldTest, UnknownOversizedOrOverlongBasesAreRefusedUncounted) {
    static unsigned char big[2000];
    mpx_proj_create("big", big, static_cast<int>(sizeof big));
    mpx_proj_ins_par("first", big, MPX_TYPE_DOUBLE);
    ASSERT_EQ(mpx_proj_end(), 0);
    static double many[34];
    mpx_proj_create("many", many, static_cast<int>(sizeof many));
    static std::string names[34]; // kept by pointer until the definition ends
    for (int i = 0; i < 34; ++i)
        mpx_proj_ins_par((names[i] = "p" + std::to_string(i)).c_str(), &many[i], MPX_TYPE_DOUBLE);
    ASSERT_EQ(mpx_proj_end(), 0);
    for (const char *keyword : {"nowhere", "big", "many"})
        EXPECT_EQ(proj_field_entry(keyword), -1) << keyword;
    EXPECT_EQ(take_errors(), (Lines{"S1:Base projection not found",
                                    "S2:Base projection record too large for a field projection",
                                    "S2:Bad structure formation"}));
    EXPECT_EQ(proj_count(), 3);
    EXPECT_EQ(proj_field_params(proj_field_entry("proj_a"), 1, kIdentity, big), nullptr);
}

TEST_F(FieldTest, FullRegistryRefusesANewFieldEntryButKeepsAnExistingOne) {
    const int existing = proj_field_entry("proj_a");
    while (proj_count() < MPX_MAX_PROJECTIONS)
        ASSERT_EQ(proj_b_install(), 0);
    EXPECT_EQ(proj_field_entry("proj_a"), existing);
    EXPECT_EQ(proj_field_entry("proj_b"), -1);
    EXPECT_EQ(take_errors(), (Lines{"S1:Too many base projections"}));
}

TEST_F(FieldTest, MemoryShortageIsReportedAndALaterAttemptSucceeds) {
    qmsc_FailAfter(0); // the keyword: counted, never found; a later attempt succeeds
    EXPECT_EQ(proj_field_entry("proj_a"), -1);
    qmsc_FailAfter(-1);
    EXPECT_EQ(std::tuple(proj_count(), proj_find("field_proj_a")), std::tuple(2, -1));
    const int field = proj_field_entry("proj_a");
    EXPECT_EQ(field, 2);
    const std::vector<char> base(static_cast<std::size_t>(proj_entry(0)->param_size));
    qmsc_FailAfter(0); // the parameter record
    EXPECT_EQ(proj_field_params(field, 0, kIdentity, base.data()), nullptr);
    qmsc_FailAfter(-1);
    EXPECT_EQ(take_errors(), (Lines{"S1:memory shortage", "S2:memory shortage"}));
}
