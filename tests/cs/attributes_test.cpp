// Attributes by entity and name: every entity of both operations, their
// result codes and messages, listing each descriptor, and modifiable
// "mod_" instances whose changes reach later transformations.
//
// Most cases run on tests/cs/data/attributes_db/ with the projection
// "checked" below (x = scale * lon + false_east, y = scale * lat; init
// refuses a zero scale); one runs the bundled database's "mod_tranmerc".
#include "cs/cs_table.hpp"
#include "tests/common/error_lines.hpp"
#include "tests/common/fresh_process.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <string>
#include <vector>

namespace {

using test_support::Lines;
using test_support::take_errors;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

constexpr int kInitRefused = 5;
constexpr std::int32_t kZone = 7;
constexpr double kDegree = 0.017453292519943295;

struct CheckedRecord {
    double scale, false_east;
    std::int32_t zone;
    double east_km, radius, eccentricity, long_cut;
};
CheckedRecord &checked(void *p) { return *static_cast<CheckedRecord *>(p); }
int checked_init(void *p) noexcept {
    checked(p).east_km = checked(p).false_east / 1000.0; // derived: a re-init shows
    checked(p).zone = kZone;
    checked(p).long_cut = -std::numbers::pi;
    return checked(p).scale == 0.0 ? kInitRefused : 0;
}
int checked_forward(void *p, double lon, double lat, double *x, double *y) noexcept {
    *x = checked(p).scale * lon + checked(p).false_east;
    *y = checked(p).scale * lat;
    return 0;
}
int checked_backward(void *p, double x, double y, double *lon, double *lat) noexcept {
    *lon = (x - checked(p).false_east) / checked(p).scale;
    *lat = y / checked(p).scale;
    return 0;
}
void install_checked() {
    CheckedRecord r{};
    mpx_proj_create("checked", &r, static_cast<int>(sizeof r));
    mpx_proj_ins_par("scale", &r.scale, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("false_east", &r.false_east, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".zone", &r.zone, MPX_TYPE_LONG);
    mpx_proj_ins_par(".east_km", &r.east_km, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.radius", &r.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.eccentricity", &r.eccentricity, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &r.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(checked_init, checked_forward, checked_backward);
    mpx_proj_ins_mode(MPX_PROJ_MODE_UNCONDITIONED);
    mpx_proj_end();
}

int mod_double(int id, const char *entity, const char *attribute, double value) {
    return mpx_mod_coord_sys(&id, entity, attribute, "d", &value);
}

class Attributes : public ::testing::Test {
  protected:
    void SetUp() override {
        MPX_SKIP_UNLESS_FRESH_PROCESS();
        test_support::collect_errors();
        setenv("TORVA_ORTIX_DIR", MPX_SOURCE_DIR "tests/cs/data/attributes_db/", 1);
        ASSERT_EQ(cs_initialise(), 0);
        install_checked();
        take_errors();
    }
    static int create(const char *projection, const char *datum = "WGS84") {
        const int id = mpx_create_coord_sys(datum, projection, "");
        EXPECT_GT(id, 0) << projection << " " << ::testing::PrintToString(take_errors());
        take_errors();
        return id;
    }
    static double inq_double(int id, const char *entity, const char *attribute) {
        std::string name(attribute);
        char type = MPX_TYPE_DOUBLE;
        double value = std::nan("");
        EXPECT_EQ(mpx_inq_coord_sys(&id, entity, name.data(), &type, &value, 0), 0) << attribute;
        return value;
    }
    static std::string inq_text(int id, const char *entity, const char *attribute) {
        std::string name(attribute);
        char type = MPX_TYPE_STRING;
        char value[64] = "untouched";
        EXPECT_EQ(mpx_inq_coord_sys(&id, entity, name.data(), &type, value, sizeof value), 0)
            << attribute;
        return value;
    }
    // The names an iteration yields, then the result that ended it.
    static std::vector<std::string> listing(int id, const char *entity, const char *first) {
        std::vector<std::string> names;
        char name[64];
        std::strcpy(name, first);
        char type = MPX_TYPE_ANY;
        char value[64];
        int result;
        while ((result = mpx_inq_coord_sys(&id, entity, name, &type, value, sizeof value)) == 0 &&
               names.size() < 50) {
            names.emplace_back(name);
            std::strcpy(name, "next");
            type = MPX_TYPE_ANY;
        }
        names.push_back("end " + std::to_string(result));
        return names;
    }
    static double transform_lon(int id, double lon_degrees) {
        const int geodetic = mpx_crelock_coord_sys("WGS84", "GEODETIC", "degrees");
        mpx_set_source(&geodetic);
        mpx_set_target(&id);
        const double lat = 0.0, z = 0.0;
        double x = 0.0, y = 0.0, h = 0.0;
        EXPECT_EQ(mpx_transform(&lon_degrees, &lat, &z, &x, &y, &h), 0) << take_errors().size();
        return x;
    }
};

TEST_F(Attributes, InquiresEveryEntity) {
    const int id = create("mod_checked_feet");
    EXPECT_EQ(inq_text(id, "units", "horizontal_label"), "feet");
    EXPECT_DOUBLE_EQ(inq_double(id, "units", "horizontal_factor"), 0.3048);
    EXPECT_EQ(inq_text(id, "datum", "name"), "WGS84");
    EXPECT_DOUBLE_EQ(inq_double(id, "datum", "radius"), 6378137.0);
    EXPECT_DOUBLE_EQ(inq_double(id, "aoi", "x0"), 1.0);
    EXPECT_DOUBLE_EQ(inq_double(id, "aoi", "x1"), 0.0);
    EXPECT_DOUBLE_EQ(inq_double(id, "resolution", "resolution"), 0.0);
    EXPECT_EQ(inq_text(id, "projection", "name"), "mod_checked_feet");
    EXPECT_DOUBLE_EQ(inq_double(id, "projection", "metre_factor"), 0.3048);
    EXPECT_DOUBLE_EQ(inq_double(id, "projection", "scale"), 1000.0);
    // The ellipsoid enters the instance in the projection's unit.
    EXPECT_DOUBLE_EQ(inq_double(id, "projection", "spheroid.radius"), 6378137.0 / 0.3048);

    // '*' asks for the attribute's own type and is replaced by it.
    int iid = id;
    char name[] = "zone";
    char type = MPX_TYPE_ANY;
    std::int32_t zone = 0;
    EXPECT_EQ(mpx_inq_coord_sys(&iid, "projection", name, &type, &zone, 0), 0);
    EXPECT_EQ(type, MPX_TYPE_LONG);
    EXPECT_EQ(zone, kZone);
    // A number asked for as text is formatted.
    EXPECT_EQ(inq_text(id, "projection", "false_east"), "50");
    // Locking does not limit inquiries.
    mpx_lock_coord_sys(&id);
    EXPECT_EQ(inq_text(id, "datum", "name"), "WGS84");
    EXPECT_EQ(take_errors(), Lines{});
}

TEST_F(Attributes, ListsEachDescriptor) {
    const int id = create("mod_checked");
    using Names = std::vector<std::string>;
    EXPECT_EQ(listing(id, "datum", "init-."),
              (Names{"name", "radius", "eccentricity", "metre_factor", "prime_merid", "end 1"}));
    EXPECT_EQ(listing(id, "units", "init"), (Names{"horizontal_label", "horizontal_factor",
                                                   "vertical_label", "vertical_factor", "end 1"}));
    EXPECT_EQ(listing(id, "aoi", "init"), (Names{"x0", "x1", "y0", "y1", "end 1"}));
    EXPECT_EQ(listing(id, "resolution", "init"), (Names{"resolution", "end 1"}));
    // The projection's listing is its parameters, not its name; "init-."
    // leaves out the hidden ones.
    EXPECT_EQ(listing(id, "projection", "init-."), (Names{"scale", "false_east", "end 1"}));
    EXPECT_EQ(listing(id, "projection", "init"),
              (Names{"scale", "false_east", "zone", "east_km", "spheroid.radius",
                     "spheroid.eccentricity", "long_cut", "end 1"}));
    // Past the end the iteration keeps saying so.
    char name[] = "next";
    char type = MPX_TYPE_ANY;
    double value;
    int iid = id;
    EXPECT_EQ(mpx_inq_coord_sys(&iid, "projection", name, &type, &value, 8), 1);
    EXPECT_EQ(take_errors(), Lines{});
}

TEST_F(Attributes, InquiryFailuresWriteNothing) {
    const int id = create("mod_checked");
    const int geodetic = create("GEODETIC");
    struct Case {
        int id;
        const char *entity, *attribute;
        char type;
        int room, result;
        Lines errors;
    };
    const Case cases[] = {
        {0, "datum", "name", 's', 64, -1, {"P3:(mpx_inq_coord_sys) id not found"}},
        {19, "datum", "name", 's', 64, -1, {"P3:(mpx_inq_coord_sys) id not found"}},
        {id, "Datum", "name", 's', 64, -4, {"P3:(mpx_inq_coord_sys) unknown entity"}},
        {id, "spheroid", "radius", 'd', 64, -4, {"P3:(mpx_inq_coord_sys) unknown entity"}},
        {id, "datum", "no_such", 's', 64, -1, {}},
        {id, "projection", "no_such", 'd', 64, -1, {}},
        {id, "datum", "radius", 'l', 64, -1, {"P1:STR:Unknown data type (struct_data_shift)"}},
        {geodetic, "projection", "name", 's', 64, 0, {"U3:No projection parameters to inquire"}},
        // "WGS84" needs 6 characters of room.
        {id, "datum", "name", 's', 5, -1, {"S1:STR:result too large for the string"}},
        {geodetic, "projection", "init", 's', 64, 0, {"U3:No projection parameters to inquire"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.entity) + "/" + c.attribute);
        std::string name(c.attribute);
        char type = c.type;
        char value[64] = "untouched";
        EXPECT_EQ(mpx_inq_coord_sys(&c.id, c.entity, name.data(), &type, value, c.room), c.result);
        EXPECT_STREQ(value, "untouched");
        EXPECT_EQ(name, c.attribute);
        Lines errors = take_errors();
        if (errors.size() > c.errors.size()) // the descriptor layer's own line
            errors.erase(errors.begin(), errors.end() - static_cast<long>(c.errors.size()));
        EXPECT_EQ(errors, c.errors);
    }
    EXPECT_EQ(mpx_inq_coord_sys(nullptr, "datum", nullptr, nullptr, nullptr, 0), -1);
}

TEST_F(Attributes, ModificationResultsFollowTheCheckOrder) {
    const int id = create("mod_checked");
    const int fixed = create("FIXED_CHECKED");
    const int upper = create("MOD_CHECKED_UPPER");
    const int geodetic = create("GEODETIC");
    const int locked = create("mod_checked");
    mpx_lock_coord_sys(&locked);
    struct Case {
        int id;
        const char *entity, *attribute;
        int result;
        Lines errors;
    };
    const Case cases[] = {
        {0, "aoi", "x0", -1, {"P3:(mpx_mod_coord_sys) id not found"}},
        {locked, "aoi", "x0", -2, {"P3:(mpx_mod_coord_sys) coord sys is locked"}},
        {locked, "units", "x0", -2, {"P3:(mpx_mod_coord_sys) coord sys is locked"}},
        {id, "aoi", "x0", 0, {}},
        {id, "aoi", "nothing", -1, {"S1:STR:Attribute name not found (struct_mod)"}},
        {id, "resolution", "resolution", 0, {}},
        {id, "datum", "radius", -1, {"P3:No DATUM modifications allowed"}},
        {id, "units", "horizontal_factor", -6, {"P3:(mpx_mod_coord_sys) unknown entity"}},
        {id, "Projection", "scale", -6, {"P3:(mpx_mod_coord_sys) unknown entity"}},
        {geodetic, "projection", "scale", 0, {"U3:No projection parameters to modify"}},
        {fixed, "projection", "scale", -4, {"P3:Projection instance is not modifiable"}},
        // "mod_" and the keyword are compared exactly, case included.
        {upper, "projection", "scale", -4, {"P3:Projection instance is not modifiable"}},
        {id,
         "projection",
         "zone",
         -5,
         {"S1:STR:Attribute is not modifiable (struct_mod)",
          "P3:(mpx_mod_coord_sys) unmodifiable projection attribute"}},
        {id,
         "projection",
         "spheroid.radius",
         -5,
         {"S1:STR:Attribute is not modifiable (struct_mod)",
          "P3:(mpx_mod_coord_sys) unmodifiable projection attribute"}},
        {id,
         "projection",
         "name",
         -5,
         {"S1:STR:Attribute name not found (struct_mod)",
          "P3:(mpx_mod_coord_sys) unmodifiable projection attribute"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.entity) + "/" + c.attribute);
        EXPECT_EQ(mod_double(c.id, c.entity, c.attribute, 4.0), c.result);
        EXPECT_EQ(take_errors(), c.errors);
    }
    EXPECT_DOUBLE_EQ(inq_double(id, "aoi", "x0"), 4.0);
    EXPECT_DOUBLE_EQ(inq_double(id, "resolution", "resolution"), 4.0);
    EXPECT_DOUBLE_EQ(inq_double(fixed, "projection", "scale"), 1000.0);
    EXPECT_DOUBLE_EQ(inq_double(locked, "aoi", "x0"), 1.0);

    // The type code must be the attribute's own: refused, record unchanged.
    const std::int32_t whole = 3;
    EXPECT_EQ(mpx_mod_coord_sys(&id, "resolution", "resolution", "l", &whole), -1);
    EXPECT_EQ(mpx_mod_coord_sys(&id, "projection", "scale", "l", &whole), -5);
    EXPECT_EQ(mpx_mod_coord_sys(&id, "projection", "scale", nullptr, &whole), -5);
    take_errors();
    EXPECT_DOUBLE_EQ(inq_double(id, "resolution", "resolution"), 4.0);
    EXPECT_DOUBLE_EQ(inq_double(id, "projection", "scale"), 1000.0);
}

TEST_F(Attributes, NoticeOnceAndConsoleLinesEachTime) {
    const int id = create("mod_checked");
    CaptureStdout();
    EXPECT_EQ(mod_double(id, "projection", "scale", 0.5), 0);
    EXPECT_EQ(mod_double(id, "projection", "false_east", -12.25), 0);
    const std::string console = GetCapturedStdout();
    EXPECT_EQ(console, "\n PROJECTION MODIFICATION on mod_checked"
                       "\n attribute =  scale =       0.500000000000"
                       "\n PROJECTION MODIFICATION on mod_checked"
                       "\n attribute =  false_east =     -12.250000000000");
    EXPECT_EQ(take_errors(), Lines{"U1: Warning - projection parameters being modified !"});
    // The instance was initialised again: its derived field follows.
    EXPECT_DOUBLE_EQ(inq_double(id, "projection", "east_km"), -0.01225);
}

TEST_F(Attributes, FailedReinitialisationKeepsTheNewValue) {
    const int id = create("mod_checked");
    CaptureStdout();
    EXPECT_EQ(mod_double(id, "projection", "scale", 0.0), kInitRefused);
    EXPECT_EQ(GetCapturedStdout(), "\n PROJECTION MODIFICATION on mod_checked"
                                   "\n attribute =  scale =       0.000000000000");
    EXPECT_EQ(take_errors(), (Lines{"S1:projection initialisation",
                                    "U2: Warning - projection parameters being modified !"}));
    EXPECT_DOUBLE_EQ(inq_double(id, "projection", "scale"), 0.0);
}

TEST_F(Attributes, ModifiedInstanceChangesLaterTransformationsAfterLocking) {
    const int id = create("mod_checked");
    const int copy = mpx_copy_coord_sys(&id);
    CaptureStdout();
    EXPECT_EQ(mod_double(id, "projection", "scale", 2000.0), 0);
    EXPECT_EQ(mod_double(id, "projection", "false_east", 10.0), 0);
    GetCapturedStdout();
    take_errors();
    mpx_lock_coord_sys(&id);
    mpx_lock_coord_sys(&copy);
    EXPECT_DOUBLE_EQ(transform_lon(id, 1.0), 2000.0 * kDegree + 10.0);
    // The copy was taken before: it keeps the database's values.
    EXPECT_DOUBLE_EQ(transform_lon(copy, 1.0), 1000.0 * kDegree + 50.0);
    // Once locked the instance no longer changes.
    EXPECT_EQ(mod_double(id, "projection", "scale", 1.0), -2);
    take_errors();
    EXPECT_DOUBLE_EQ(transform_lon(id, 1.0), 2000.0 * kDegree + 10.0);
}

TEST(AttributesBundled, ModTranmercAdjustedToAGaussKruegerZoneMatchesIt) {
    MPX_SKIP_UNLESS_FRESH_PROCESS();
    test_support::collect_errors();
    setenv("TORVA_ORTIX_DIR", MPX_SOURCE_DIR "data/", 1);
    const int id = mpx_create_coord_sys("DHDN", "mod_tranmerc", "");
    ASSERT_GT(id, 0);
    CaptureStdout();
    // GK3 (EPSG:31467): central meridian 9 deg E, scale 1, false easting
    // 3 500 000 m.
    EXPECT_EQ(mod_double(id, "projection", "centre_merid", 9.0 * kDegree), 0);
    EXPECT_EQ(mod_double(id, "projection", "scale_factor", 1.0), 0);
    EXPECT_EQ(mod_double(id, "projection", "false_east", 3500000.0), 0);
    GetCapturedStdout();
    mpx_lock_coord_sys(&id);
    const int gk3 = mpx_crelock_coord_sys("DHDN", "GK3", "");
    const int geodetic = mpx_crelock_coord_sys("DHDN", "GEODETIC", "degrees");
    ASSERT_GT(gk3, 0);
    const double lon = 9.5, lat = 50.25, z = 0.0;
    double adjusted[3], reference[3];
    mpx_set_source(&geodetic);
    mpx_set_target(&id);
    ASSERT_EQ(mpx_transform(&lon, &lat, &z, &adjusted[0], &adjusted[1], &adjusted[2]), 0);
    mpx_set_target(&gk3);
    ASSERT_EQ(mpx_transform(&lon, &lat, &z, &reference[0], &reference[1], &reference[2]), 0);
    EXPECT_EQ(adjusted[0], reference[0]);
    EXPECT_EQ(adjusted[1], reference[1]);
}

} // namespace
