// The registry: building entries and their limits, lookup, the special
// entry, parameter records, unit names and the console diagnostics. The
// test projections "proj_a" and "proj_b" serve as entries.
#include "frame/support.hpp"
#include "tests/proj/support.hpp"

#include <cmath>

using namespace proj_test;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

TEST(RegistryBuilding, EntryKeepsRoutinesModeAndEllipsoidOffsets) {
    ASSERT_EQ(proj_a_install(), 0);
    ASSERT_EQ(proj_b_install(), 0);
    const mpx_proj_entry &a = *proj_entry(0), &b = *proj_entry(1);
    EXPECT_STREQ(a.descriptor->name, "proj_a");
    EXPECT_TRUE(a.init == proj_a_init && a.forward == proj_a_forward &&
                a.backward == proj_a_backward);
    EXPECT_EQ(std::tuple(a.mode, a.radius_offset, a.ecc_offset),
              std::tuple(0, struct_offset(a.descriptor, "spheroid.radius"),
                         struct_offset(a.descriptor, "spheroid.eccentricity")));
    EXPECT_EQ(b.ecc_offset, -1);
}

TEST(RegistryBuilding, CallsOutsideCreationAreRefusedAndLeaveTheLastEntryIntact) {
    collect_errors();
    double field = 0.0;
    EXPECT_EQ(mpx_proj_ins_par("x", &field, MPX_TYPE_DOUBLE), -1); // nothing created yet
    ASSERT_EQ(proj_a_install(), 0);
    EXPECT_EQ(mpx_proj_ins_funcs(nullptr, nullptr, nullptr), -1);
    EXPECT_EQ(mpx_proj_ins_mode(1), -1);
    EXPECT_EQ(mpx_proj_end(), -1);
    EXPECT_EQ(take_errors(),
              (Lines{"P1:Not creating a projection", "P2:Not creating a projection",
                     "P2:Not creating a projection", "P2:Not creating a projection"}));
    const mpx_proj_entry &e = *proj_entry(0);
    EXPECT_EQ(std::tuple(proj_count(), e.mode, e.descriptor->count), std::tuple(1, 0, 8));
    EXPECT_EQ(e.forward, proj_a_forward);
}

TEST(RegistryBuilding, FiftyFirstEntryIsRefused) {
    for (int i = 0; i < MPX_MAX_PROJECTIONS; ++i)
        ASSERT_EQ(proj_b_install(), 0) << i;
    collect_errors();
    double sample = 0.0;
    EXPECT_EQ(mpx_proj_create("late", &sample, 8), -1);
    EXPECT_EQ(take_errors(), (Lines{"S1:Too many base projections"}));
    EXPECT_EQ(proj_count(), MPX_MAX_PROJECTIONS);
    EXPECT_EQ(mpx_proj_end(), -1); // the refused creation opened nothing
}

TEST(RegistryBuilding, EntryWithoutDescriptorStaysCountedButIsNeverFound) {
    collect_errors();
    double sample = 0.0;
    qmsc_FailAfter(0);
    EXPECT_EQ(mpx_proj_create("broken", &sample, 8), 0);
    qmsc_FailAfter(-1);
    EXPECT_EQ(mpx_proj_end(), -1);
    EXPECT_EQ(take_errors().back(), "S2:Error creating a projection");
    ASSERT_EQ(proj_b_install(), 0);
    EXPECT_EQ(std::tuple(proj_find("broken"), proj_find("proj_b")), std::tuple(-1, 1));
}

TEST(RegistryLookup, FindIsExactCaseSensitiveAndPrefersTheFirstCopy) {
    EXPECT_EQ(proj_find("proj_a"), -1); // empty registry
    ASSERT_EQ(proj_b_install(), 0);
    ASSERT_EQ(proj_a_install(), 0);
    ASSERT_EQ(proj_a_install(), 0);
    EXPECT_EQ(proj_find("proj_a"), 1);
    for (const char *other : {"PROJ_A", "proj", "proj_ax", static_cast<const char *>(nullptr)})
        EXPECT_EQ(proj_find(other), -1) << (other ? other : "null");
    EXPECT_TRUE(proj_entry(3) == nullptr && proj_entry(-1) == nullptr);
}

TEST(RegistrySpecialEntry, IsOutsideTheCountAndItsRoutinesReportTheirCall) {
    char sample = 0;
    ASSERT_EQ(struct_begin("special...", &sample), 0);
    struct_desc *special = struct_end();
    proj_set_special(special);
    EXPECT_EQ(std::tuple(proj_count(), proj_find("special...")), std::tuple(0, -1));
    const mpx_proj_entry &e = *proj_entry(MPX_SPECIAL_PROJECTION);
    EXPECT_EQ(e.descriptor, special);
    collect_errors();
    double x = 1.0, y = 2.0;
    EXPECT_EQ(e.init(nullptr), -999);
    EXPECT_EQ(e.forward(nullptr, 0.0, 0.0, &x, &y), -999);
    EXPECT_EQ(e.backward(nullptr, 0.0, 0.0, &x, &y), -999);
    EXPECT_EQ(take_errors(), (Lines{"P1:mpx_dummy() called (it should not be!)",
                                    "P2:mpx_dummy() called (it should not be!)",
                                    "P2:mpx_dummy() called (it should not be!)"}));
}

TEST(RegistryInstance, RecordIsZeroedInitFailureReportedLongCutReadWhereDeclared) {
    ASSERT_EQ(proj_a_install(), 0);
    double sample = 0.0;
    mpx_proj_create("failing", &sample, 8);
    mpx_proj_ins_par("first", &sample, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs([](void *) noexcept { return 7; }, proj_a_forward, proj_a_backward);
    ASSERT_EQ(mpx_proj_end(), 0);
    mpx_coord_sys good{}, bad{};
    bad.projection.proj_index = 1;
    ASSERT_EQ(proj_alloc_params(&good), proj_entry(0)->param_size);
    ASSERT_EQ(proj_alloc_params(&bad), 8);
    const std::vector<char> zero(static_cast<std::size_t>(proj_entry(0)->param_size));
    EXPECT_EQ(std::memcmp(good.params, zero.data(), zero.size()), 0);
    collect_errors();
    CaptureStdout();
    EXPECT_EQ(proj_init_params(&good), 0);
    EXPECT_NE(GetCapturedStdout().find("proj_a_init() called"), std::string::npos);
    EXPECT_EQ(proj_init_params(&bad), 7);
    EXPECT_EQ(take_errors(), (Lines{"S1:projection initialisation"}));
    double cut = 99.0;
    EXPECT_EQ(proj_long_cut(&bad, &cut), 0);
    EXPECT_EQ(std::tuple(proj_long_cut(&good, &cut), cut), std::tuple(1, 180.0));
    proj_free_params(&good);
    EXPECT_EQ(good.params, nullptr);
    qmsc_FailAfter(0);
    EXPECT_EQ(proj_alloc_params(&good), -1);
    qmsc_FailAfter(-1);
    EXPECT_EQ(good.params, nullptr);
    EXPECT_EQ(take_errors(), (Lines{"S2:memory shortage"})); // the chain goes on
    proj_free_params(&bad);
}

TEST(RegistryUnits, MetreFactorsNameTheFirstUnitWithinOneMillimetre) {
    const std::pair<double, const char *> cases[] = {
        {1.0, "metres"},         {1.0005, "metres"},   {0.999, "????"},    {0.3048, "feet"},
        {0.30479, "feet"},       {0.3058, "????"},     {0.91439, "yards"}, {0.9144, "yards"},
        {0.201167, "links"},     {20.01167, "chains"}, {20.1168, "????"},  {3.7782, "roods"},
        {375.0, "Vorlan Units"}, {0.0, "????"},        {-1.0, "????"},     {NAN, "????"},
        {INFINITY, "????"},
    };
    for (const auto &[factor, name] : cases)
        EXPECT_STREQ(proj_unit_name(factor), name) << "factor " << factor;
}

TEST(RegistryDiagnostics, DebugPrintsTheCallThenTheRecordByNameOrSaysItIsUnknown) {
    const auto call = [](const std::string &keyword) {
        return "\n -----------------------------------------\n Projection routine = " + keyword +
               " forward\n      lon =    0.1000000000       lat =   -0.2000000000"
               "\n        x =      12345.6789         y =         -0.5000\n   status = 2";
    };
    CaptureStdout();
    EXPECT_EQ(mpx_proj_debug("nothere", "forward", nullptr, 12345.6789, -0.5, 0.1, -0.2, 2), -1);
    EXPECT_EQ(GetCapturedStdout(), call("nothere") + "\n Base projection not found");
    ASSERT_EQ(proj_b_install(), 0);
    struct {
        double one, two;
        std::int32_t three;
        double radius;
        char message[32];
    } record{1.5, -2.0, 7, 6378137.0, "x"}; // the head of a "proj_b" record
    CaptureStdout();
    EXPECT_EQ(mpx_proj_debug("proj_b", "forward", &record, 12345.6789, -0.5, 0.1, -0.2, 2), 0);
    EXPECT_EQ(GetCapturedStdout(), call("proj_b") +
                                       "\nStructure Name = proj_b \nparam_one = 1.5\nparam_two = "
                                       "-2\nparam_three = 7\nspheroid.radius = 6378137");
}

TEST(RegistryDiagnostics, ChangeNoticeWarnsOnceAndLogsEveryChangeWithItsValue) {
    collect_errors();
    const double scale = 0.9996;
    const std::int32_t zone = 31;
    const char letter = 'N';
    CaptureStdout();
    EXPECT_EQ(proj_mod_notice("utm31", "scale_factor", MPX_TYPE_DOUBLE, &scale), 0);
    EXPECT_EQ(proj_mod_notice("utm31", "zone", MPX_TYPE_LONG, &zone), 0);
    EXPECT_EQ(proj_mod_notice("utm31", "hemisphere", MPX_TYPE_CHAR, &letter), 0);
    const std::string head = "\n PROJECTION MODIFICATION on utm31\n attribute =  ";
    EXPECT_EQ(GetCapturedStdout(), head + "scale_factor =       0.999600000000" + head +
                                       "zone = 31" + head + "hemisphere");
    EXPECT_EQ(take_errors(), (Lines{"U1: Warning - projection parameters being modified !"}));
}
