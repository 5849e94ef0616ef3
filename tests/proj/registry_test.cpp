// The registry (with "proj_a" and "proj_b" as entries), its diagnostics,
// unit names, and the test projections and template "xxxx" themselves.
#include "frame/support.hpp"
#include "tests/common/fresh_process.hpp"
#include "tests/proj/support.hpp"

#include <cmath>
#include <numbers>

using namespace proj_test;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

TEST(RegistryBuilding, EntryKeepsItsPartsAndCallsOutsideCreationAreRefused) {
    MPX_SKIP_UNLESS_FRESH_PROCESS();
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
    ASSERT_EQ(proj_b_install(), 0);
    const mpx_proj_entry &a = *proj_entry(0);
    EXPECT_STREQ(a.descriptor->name, "proj_a");
    EXPECT_TRUE(a.init == proj_a_init && a.forward == proj_a_forward &&
                a.backward == proj_a_backward);
    EXPECT_EQ(std::tuple(proj_count(), a.mode, a.descriptor->count, a.radius_offset, a.ecc_offset,
                         proj_entry(1)->ecc_offset),
              std::tuple(2, 0, 8, struct_offset(a.descriptor, "spheroid.radius"),
                         struct_offset(a.descriptor, "spheroid.eccentricity"), -1));
}

TEST(RegistryBuilding, EntryWithoutDescriptorIsNeverFoundAndTheFiftyFirstIsRefused) {
    MPX_SKIP_UNLESS_FRESH_PROCESS();
    collect_errors();
    double sample = 0.0;
    qmsc_FailAfter(0);
    EXPECT_EQ(mpx_proj_create("broken", &sample, 8), 0);
    qmsc_FailAfter(-1);
    EXPECT_EQ(mpx_proj_end(), -1);
    EXPECT_EQ(take_errors().back(), "S2:Error creating a projection");
    while (proj_count() < MPX_MAX_PROJECTIONS)
        ASSERT_EQ(proj_b_install(), 0);
    EXPECT_EQ(std::tuple(proj_find("broken"), proj_find("proj_b")), std::tuple(-1, 1));
    EXPECT_EQ(mpx_proj_create("late", &sample, 8), -1);
    EXPECT_EQ(take_errors(), (Lines{"S2:Too many base projections"})); // the chain goes on
    EXPECT_EQ(proj_count(), MPX_MAX_PROJECTIONS);
    EXPECT_EQ(mpx_proj_end(), -1); // the refused creation opened nothing
}

TEST(RegistryLookup, FindIsExactCaseSensitiveAndPrefersTheFirstCopy) {
    MPX_SKIP_UNLESS_FRESH_PROCESS();
    EXPECT_EQ(proj_find("proj_a"), -1); // empty registry
    ASSERT_EQ(proj_b_install(), 0);
    ASSERT_EQ(proj_a_install(), 0);
    ASSERT_EQ(proj_a_install(), 0);
    EXPECT_EQ(proj_find("proj_a"), 1);
    for (const char *other : {"PROJ_A", "proj", "proj_ax", static_cast<const char *>(nullptr)})
        EXPECT_EQ(proj_find(other), -1) << (other ? other : "null");
    EXPECT_TRUE(proj_entry(3) == nullptr && proj_entry(-1) == nullptr);
}

// The 33 base projections in their fixed order: registry indexes are part
// of the interface (hosts and the database refer to them).
TEST(RegistryLookup, BaseInstallPutsTheThirtyThreeProjectionsInTheirOrder) {
    MPX_SKIP_UNLESS_FRESH_PROCESS();
    ASSERT_EQ(mpx_base_install(), 0);
    const char *const order[] = {
        "coniced",  "lambert1", "lambert2", "mollweid", "mercator", "tranmerc", "stm",
        "utm",      "albersea", "regpol",   "modpol",   "azimuted", "obmerc_b", "stereo",
        "grinten",  "lambazea", "sinusoid", "eckertiv", "eckertvi", "placaree", "cassini",
        "bioconco", "dutch",    "borneo",   "swiss",    "winktrip", "nzmapgrd", "labordom",
        "bonne",    "orthog",   "gnomonic", "modstero", "robinson"};
    ASSERT_EQ(proj_count(), 33);
    for (int i = 0; i < 33; ++i)
        EXPECT_STREQ(proj_entry(i)->descriptor->name, order[i]) << i;
    EXPECT_EQ(proj_find("tranmerc"), 5);
    EXPECT_EQ(proj_find("robinson"), 32);
    EXPECT_EQ(proj_find("special..."), -1);
    EXPECT_EQ(proj_find("TRANMERC"), -1);
}

TEST(RegistryLookup, SpecialEntryIsOutsideTheCountAndItsRoutinesReportTheirCall) {
    MPX_SKIP_UNLESS_FRESH_PROCESS();
    char sample = 0;
    ASSERT_EQ(struct_begin("special...", &sample), 0);
    proj_set_special(struct_end());
    const mpx_proj_entry &e = *proj_entry(MPX_SPECIAL_PROJECTION);
    EXPECT_EQ(std::tuple(proj_count(), proj_find("special..."), e.descriptor->name),
              std::tuple(0, -1, std::string("special...")));
    collect_errors();
    double x = 1.0, y = 2.0;
    EXPECT_EQ(std::tuple(e.init(nullptr), e.forward(nullptr, 0, 0, &x, &y),
                         e.backward(nullptr, 0, 0, &x, &y)),
              std::tuple(-999, -999, -999));
    const std::string dummy = ":mpx_dummy() called (it should not be!)";
    EXPECT_EQ(take_errors(), (Lines{"P1" + dummy, "P2" + dummy, "P2" + dummy}));
}

TEST(RegistryInstance, RecordIsZeroedInitFailureReportedLongCutReadWhereDeclared) {
    MPX_SKIP_UNLESS_FRESH_PROCESS();
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
    EXPECT_EQ(proj_init_params(&good), 0);
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
    MPX_SKIP_UNLESS_FRESH_PROCESS();
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
    MPX_SKIP_UNLESS_FRESH_PROCESS();
    const auto call = [](const std::string &keyword) {
        return "\n -----------------------------------------\n Projection routine = " + keyword +
               " forward\n      lon =    0.1000000000       lat =   -0.2000000000"
               "\n        x =      12345.6789         y =         -0.5000\n   status = 2";
    };
    CaptureStdout();
    EXPECT_EQ(mpx_proj_debug("nothere", "forward", nullptr, 12345.6789, -0.5, 0.1, -0.2, 2), -1);
    EXPECT_EQ(GetCapturedStdout(), call("nothere") + "\n Base projection not found");
    ASSERT_EQ(proj_b_install(), 0);
    Instance record("proj_b");
    record.set("param_one", 1.5).set("param_two", -2.0).set("param_three", std::int32_t{7});
    record.set("spheroid.radius", 6378137.0);
    CaptureStdout();
    EXPECT_EQ(mpx_proj_debug("proj_b", "forward", record.data(), 12345.6789, -0.5, 0.1, -0.2, 2),
              0);
    EXPECT_EQ(GetCapturedStdout(), call("proj_b") +
                                       "\nStructure Name = proj_b \nparam_one = 1.5\nparam_two = "
                                       "-2\nparam_three = 7\nspheroid.radius = 6378137");
}

TEST(RegistryDiagnostics, ChangeNoticeWarnsOnceAndLogsEveryChangeWithItsValue) {
    MPX_SKIP_UNLESS_FRESH_PROCESS();
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

TEST(TestProjections, ProjAAndProjBPrintEveryCallAndExchangeTheCoordinates) {
    MPX_SKIP_UNLESS_FRESH_PROCESS();
    ASSERT_EQ(proj_a_install(), 0);
    ASSERT_EQ(proj_b_install(), 0);
    Instance a("proj_a"), b("proj_b");
    // proj_a lays its fields out in another order than it installs them.
    a.set("param_one", 10.0).set("tid", std::int32_t{42}).set("p_char", 'q');
    double xy[4], lonlat[4];
    CaptureStdout();
    EXPECT_EQ(a.init(), 0);
    EXPECT_EQ(a.forward(0.1, 0.2, xy[0], xy[1]), 0);
    EXPECT_EQ(a.backward(xy[0], xy[1], lonlat[0], lonlat[1]), 0);
    EXPECT_EQ(b.init(), 0);
    EXPECT_EQ(b.forward(0.1, 0.2, xy[2], xy[3]), 0);
    EXPECT_EQ(b.backward(xy[2], xy[3], lonlat[2], lonlat[3]), 0);
    const std::string a_message = "\n test message = <proj_a test message>, tid = 42 ";
    const std::string b_message = "\n test message = <proj_b test message>";
    EXPECT_EQ(GetCapturedStdout(), "\n proj_a_init() called " + a_message +
                                       "\n proj_a_forward() called " + a_message +
                                       "\n proj_a_backward() called " + a_message +
                                       "\n CALLED proj_b_init() \n CALLED proj_b_forward() " +
                                       b_message + "\n CALLED proj_b_backward() " + b_message);
    EXPECT_EQ(std::tuple(a.get("long_cut"), a.get<char>("p_char")), std::tuple(190.0, 'q'));
    EXPECT_EQ(std::vector(xy, xy + 4), (std::vector{0.2, 0.1, 0.2, 0.1}));
    EXPECT_EQ(std::vector(lonlat, lonlat + 4), (std::vector{0.1, 0.2, 0.1, 0.2}));
}

TEST(TestProjections, TemplateXxxxInstallsTwentyParametersAndAnswersZero) {
    MPX_SKIP_UNLESS_FRESH_PROCESS();
    ASSERT_EQ(mpx_xxxx_install(), 0);
    Instance t("xxxx");
    EXPECT_EQ(std::tuple(t.entry().mode, t.entry().descriptor->count), std::tuple(1, 20));
    EXPECT_GE(t.entry().ecc_offset, 0);
    t.set("centre_merid", 0.5);
    double x = 7, y = 7, lon = 7, lat = 7;
    CaptureStdout();
    EXPECT_EQ(t.init(), 0);
    EXPECT_EQ(t.forward(1.0, 0.5, x, y), 0);
    EXPECT_EQ(t.backward(100.0, 200.0, lon, lat), 0);
    EXPECT_EQ(GetCapturedStdout(), "\n mpx_xxxx_init() not yet implemented "
                                   "\n mpx_xxxx_forward() not yet implemented "
                                   "\n mpx_xxxx_backward() not yet implemented ");
    EXPECT_DOUBLE_EQ(t.get("long_cut"), 0.5 - std::numbers::pi);
    EXPECT_EQ(std::tuple(x, y, lon, lat), std::tuple(0.0, 0.0, 0.0, 0.0));
}

// The exact companions must come first to be found: after the base set
// (and so a second time) they are refused and nothing is installed.
TEST(ExactInstall, FindsTheExactFormsFirstAndRefusesALateCall) {
    MPX_SKIP_UNLESS_FRESH_PROCESS();
    collect_errors();
    ASSERT_EQ(mpx_exact_install(), 0);
    ASSERT_EQ(mpx_base_install(), 0);
    const int tranmerc = proj_find("tranmerc");
    EXPECT_EQ(tranmerc, 0);
    EXPECT_NE(proj_entry(tranmerc)->forward, proj_entry(proj_find("mercator") + 1)->forward);
    const int count = proj_count();
    EXPECT_EQ(mpx_exact_install(), -1);
    EXPECT_EQ(proj_count(), count);
    EXPECT_EQ(take_errors(),
              (Lines{"P3:(mpx_exact_install) called after the base projections were installed"}));
}
