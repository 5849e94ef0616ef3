// Loading coordinate systems from the fixture database: kinds and units,
// the projection instance and its ellipsoid, consistency with the datum,
// field projections, and the reports of records that are missing or bad.
#include "tests/cs/cs_fixture.hpp"

#include <cmath>
#include <numbers>

namespace {

double attribute(const mpx_coord_sys *cs, const char *name) {
    std::string buffer(name);
    char type = MPX_TYPE_DOUBLE;
    double value = std::nan("");
    struct_inq(proj_entry(cs->projection.proj_index)->descriptor, cs->params, buffer.data(), &type,
               &value, 8);
    return value;
}

} // namespace

using CsLoad = CsTest;

TEST_F(CsLoad, GeodeticLabelsGiveTheirAngularFactor) {
    struct Case {
        const char *units;
        const char *label;
        double factor;
    };
    for (const Case &c :
         {Case{"natural", "degrees", std::numbers::pi / 180.0},
          Case{"", "degrees", 0.017453292519943295},
          Case{"degrees/metres", "degrees", std::numbers::pi / 180.0},
          Case{"radians", "radians", 1.0}, Case{"grads", "grads", 0.015707963267948967}}) {
        const int id = mpx_create_coord_sys("WGS84", "GEODETIC", c.units);
        ASSERT_GT(id, 0) << c.units;
        const mpx_coord_sys *cs = cs_lookup(id);
        EXPECT_EQ(cs->coord_type, MPX_COORD_GEODETIC);
        EXPECT_STREQ(cs->horizontal_label, c.label);
        EXPECT_EQ(cs->horizontal_factor, c.factor) << c.units;
        EXPECT_EQ(cs->projection.proj_index, MPX_SPECIAL_PROJECTION);
        EXPECT_EQ(cs->params, nullptr);
    }
    EXPECT_EQ(take_errors(), Lines{});
}

TEST_F(CsLoad, UnknownAngularUnitIsRefused) {
    EXPECT_EQ(mpx_create_coord_sys("WGS84", "GEODETIC", "gon"), -1);
    EXPECT_EQ(mpx_create_coord_sys("WGS84", "geodetic", "degrees"), -1); // exact keyword only
    EXPECT_EQ(take_errors(),
              (Lines{"P1:Bad Angular unit", "S3:(mpx create_coord_sys) database load error",
                     "U1:Projection not found", "S3:(mpx create_coord_sys) database load error"}));
}

TEST_F(CsLoad, GeocentricKeepsItsLabelsAndTheDatum) {
    const int id = mpx_create_coord_sys("clarke_ft", "GEOCENTRIC", "feet/feet");
    ASSERT_GT(id, 0);
    const mpx_coord_sys *cs = cs_lookup(id);
    EXPECT_EQ(cs->coord_type, MPX_COORD_GEOCENTRIC);
    EXPECT_EQ(cs->horizontal_factor, 1.0);
    EXPECT_STREQ(cs->horizontal_label, "feet");
    EXPECT_STREQ(cs->vertical_label, "feet");
    EXPECT_EQ(cs->datum.radius, 20925832.16);
    EXPECT_EQ(cs->datum.eccentricity, 0.0822718542);
    EXPECT_EQ(cs->datum.metre_factor, 0.30479);
    EXPECT_EQ(cs->datum.prime_merid, 0.0);
    EXPECT_STREQ(cs->datum.name, "clarke_ft"); // as the host named it
}

TEST_F(CsLoad, ProjectedLabelIsTheUnitOfItsMetreFactor) {
    struct Case {
        const char *projection;
        const char *label;
        double factor;
    };
    for (const Case &c : {Case{"GRID_B", "metres", 1.0}, Case{"GRID_FEET", "feet", 0.3048},
                          Case{"GRID_NEAR_FEET", "feet", 0.30529}, Case{"GRID_ODD", "????", 0.3058},
                          Case{"GRID_HALF", "????", 0.5}}) {
        const int id = mpx_create_coord_sys("WGS84", c.projection, "chosen/up");
        ASSERT_GT(id, 0) << c.projection;
        const mpx_coord_sys *cs = cs_lookup(id);
        EXPECT_EQ(cs->coord_type, MPX_COORD_PROJECTED);
        EXPECT_STREQ(cs->horizontal_label, c.label) << c.projection;
        EXPECT_STREQ(cs->vertical_label, "up");
        EXPECT_EQ(cs->horizontal_factor, c.factor);
        EXPECT_EQ(cs->projection.metre_factor, c.factor);
    }
}

TEST_F(CsLoad, InstanceGetsItsParametersAndTheDatumEllipsoidThenInit) {
    const int id = mpx_create_coord_sys("WGS84", "GRID_A", "");
    ASSERT_GT(id, 0);
    const mpx_coord_sys *cs = cs_lookup(id);
    EXPECT_EQ(cs->projection.proj_index, proj_find("proj_a"));
    EXPECT_EQ(attribute(cs, "param_one"), 10.0);
    EXPECT_EQ(attribute(cs, "param_two"), 2.5);
    EXPECT_EQ(attribute(cs, "spheroid.radius"), 6378137.0);
    EXPECT_EQ(attribute(cs, "spheroid.eccentricity"), 0.0818191908426);
    EXPECT_EQ(attribute(cs, "long_cut"), 190.0); // written by proj_a's init
    char name[] = "p_char";
    char type = MPX_TYPE_STRING;
    char text[8] = {};
    ASSERT_EQ(struct_inq(proj_entry(cs->projection.proj_index)->descriptor, cs->params, name, &type,
                         text, sizeof text),
              0);
    EXPECT_STREQ(text, "Q");
}

TEST_F(CsLoad, RadiusIsConvertedIntoTheProjectionUnit) {
    // A datum in 0.30479 m units under a projection in metres.
    const int id = mpx_create_coord_sys("CLARKE_FT", "GRID_B", "");
    ASSERT_GT(id, 0);
    EXPECT_DOUBLE_EQ(attribute(cs_lookup(id), "spheroid.radius"), 20925832.16 * 0.30479);
}

TEST_F(CsLoad, StatusBitsJudgeTheProjectionAgainstTheDatum) {
    struct Case {
        const char *datum;
        const char *projection;
        int status;
    };
    for (const Case &c : {
             Case{"WGS84", "GRID_B", 0},         // nothing stated
             Case{"WGS84", "WGS_STATED", 0},     // radius 0.05 m off
             Case{"WGS84", "WGS_OFF_RADIUS", 1}, // 0.2 m off
             Case{"WGS84", "WGS_OFF_ECC", 1},    // eccentricity 8e-7 off
             Case{"WGS84", "PARIS_GRID", 2},     // another prime meridian
             Case{"PARIS_DATUM", "PARIS_GRID", 0}, Case{"PARIS_DATUM", "WGS_STATED", 3},
             Case{"NOMERID", "PARIS_GRID", 2}, // the datum names none
             Case{"NOMERID", "WGS_STATED", 2},
             Case{"CLARKE_FT", "FEET_STATED", 0}, // compared in metres
         }) {
        EXPECT_EQ(mpx_check_creation_coord_sys(c.datum, c.projection, ""), c.status)
            << c.datum << " " << c.projection;
    }
    EXPECT_EQ(mpx_next_coord_sys(std::array<int, 1>{0}.data()), 0); // all released
}

TEST_F(CsLoad, InconsistentPairIsCreatedAndAnnouncedOnItsOwnLine) {
    const int id = mpx_create_coord_sys("WGS84", "WGS_OFF_RADIUS", "");
    ASSERT_GT(id, 0);
    EXPECT_EQ(mpx_inq_status_coord_sys(&id), MPX_STATUS_OTHER_DATUM);
    EXPECT_EQ(take_errors(), Lines{"Inconsistent datum/projection pair"});
    const int shared = mpx_crelock_coord_sys("WGS84", "PARIS_GRID", "");
    EXPECT_EQ(mpx_crelock_coord_sys("WGS84", "PARIS_GRID", "metres"), shared);
    EXPECT_EQ(take_errors(),
              (Lines{"Inconsistent datum/projection pair", "Inconsistent datum/projection pair"}));
    EXPECT_GT(mpx_create_coord_sys("WGS84", "WGS_STATED", ""), 0);
    EXPECT_EQ(take_errors(), Lines{});
}

TEST_F(CsLoad, MissingAndBrokenRecordsAreReported) {
    mpx_xxxx_install(); // installed, but the database has no table for it
    struct Case {
        const char *datum;
        const char *projection;
        Lines lines;
    };
    const std::string closing = "S3:(mpx create_coord_sys) database load error";
    for (const Case &c : {
             Case{"WGS84", "NOWHERE", {"U1:Projection not found"}},
             Case{"WGS84", "NO_SUCH_TYPE", {"S1:Base projection not found"}},
             Case{"WGS84", "NO_TABLE", {"S1:GDB:opening the file", "S2:(cs_db_load)"}},
             Case{"WGS84", "NO_ROW", {"S1:(cs_db_load)"}},
             Case{"WGS84", "BAD_FACTOR", {"S1:Bad metre factor", "S2:(cs_db_load)"}},
             Case{"ZERO_FACTOR", "GEODETIC", {"S1:Bad metre factor", "S2:(cs_db_load)"}},
         }) {
        EXPECT_EQ(mpx_create_coord_sys(c.datum, c.projection, ""), -1) << c.projection;
        Lines expected = c.lines;
        expected.push_back(closing);
        EXPECT_EQ(take_errors(), expected) << c.projection;
    }
    EXPECT_EQ(mpx_next_coord_sys(std::array<int, 1>{0}.data()), 0);
}

TEST_F(CsLoad, FieldSystemPutsItsAffineMapInFrontOfTheReferenceProjection) {
    const int id = mpx_create_coord_sys("WGS84", "FIELD_ONE", "");
    ASSERT_GT(id, 0);
    const mpx_coord_sys *cs = cs_lookup(id);
    const mpx_proj_entry *entry = proj_entry(cs->projection.proj_index);
    EXPECT_STREQ(entry->descriptor->name, "field_linear");
    EXPECT_EQ(cs->status, 0);
    EXPECT_EQ(attribute(cs, "map_x_offset"), 1000.0);
    EXPECT_EQ(attribute(cs, "map_y_xfact"), -0.0);
    EXPECT_EQ(attribute(cs, "scale"), 1000.0);
    EXPECT_EQ(attribute(cs, "spheroid.radius"), 6378137.0);
    // linear: X = 1000 lon + 50, Y = 1000 lat; the field takes off 1000, 2000.
    double x = 0.0;
    double y = 0.0;
    ASSERT_EQ(entry->forward(cs->params, 0.25, 0.5, &x, &y), 0);
    EXPECT_DOUBLE_EQ(x, 250.0 + 50.0 - 1000.0);
    EXPECT_DOUBLE_EQ(y, 500.0 - 2000.0);
    double lon = 0.0;
    double lat = 0.0;
    ASSERT_EQ(entry->backward(cs->params, x, y, &lon, &lat), 0);
    EXPECT_DOUBLE_EQ(lon, 0.25);
    EXPECT_DOUBLE_EQ(lat, 0.5);
}

TEST_F(CsLoad, FieldSystemsOnOneBaseShareTheFieldEntryAndKeepTheirOwnUnit) {
    const int one = mpx_create_coord_sys("WGS84", "FIELD_ONE", "");
    const int count = proj_count();
    const int two = mpx_create_coord_sys("WGS84", "FIELD_TWO", "");
    ASSERT_GT(one, 0);
    ASSERT_GT(two, 0);
    EXPECT_EQ(proj_count(), count);
    EXPECT_EQ(cs_lookup(two)->projection.proj_index, cs_lookup(one)->projection.proj_index);
    EXPECT_STREQ(cs_lookup(two)->horizontal_label, "feet");
    EXPECT_EQ(cs_lookup(two)->projection.metre_factor, 0.3048);
    // b1 = -map_x_yfact, b2 = map_x_xfact: a rotation by 30 degrees.
    EXPECT_EQ(attribute(cs_lookup(two), "map_y_xfact"), -0.5);
    EXPECT_EQ(attribute(cs_lookup(two), "map_y_yfact"), 0.8660254037844386);
}

TEST_F(CsLoad, FieldDefinedOnAnotherDatumIsCreatedWithStatusBitZero) {
    const int id = mpx_create_coord_sys("WGS84", "FIELD_OTHER_DATUM", "");
    ASSERT_GT(id, 0);
    EXPECT_EQ(cs_lookup(id)->status, MPX_STATUS_OTHER_DATUM);
    EXPECT_EQ(take_errors(), Lines{"Inconsistent datum/projection pair"});
}

TEST_F(CsLoad, BrokenFieldRecordsAreReported) {
    struct Case {
        const char *projection;
        Lines lines;
    };
    const std::string closing = "S3:(mpx create_coord_sys) database load error";
    for (const Case &c : {
             Case{"FIELD_BAD_REF", {"U1:Field ref-projection not found"}},
             Case{"FIELD_NO_DATA", {"S1:error loading field data", "S2:(cs_db_load)"}},
             Case{"FIELD_SINGULAR", {"S1:projection initialisation", "S2:(cs_db_load)"}},
         }) {
        EXPECT_EQ(mpx_create_coord_sys("WGS84", c.projection, ""), -1) << c.projection;
        Lines expected = c.lines;
        expected.push_back(closing);
        EXPECT_EQ(take_errors(), expected) << c.projection;
    }
    EXPECT_EQ(mpx_next_coord_sys(std::array<int, 1>{0}.data()), 0);
}

TEST_F(CsLoad, NewFieldEntryInAFullRegistryFails) {
    ASSERT_GT(mpx_create_coord_sys("WGS84", "FIELD_ONE", ""), 0);
    while (proj_count() < MPX_MAX_PROJECTIONS)
        ASSERT_EQ(registry_test::install_linear(0, "filler"), 0);
    EXPECT_GT(mpx_create_coord_sys("WGS84", "FIELD_TWO", ""), 0); // its entry exists
    take_errors();
    EXPECT_EQ(mpx_create_coord_sys("WGS84", "FIELD_ON_A", ""), -1);
    EXPECT_EQ(take_errors(),
              (Lines{"S1:Too many base projections", "S2:Error creating field projection",
                     "S3:(mpx create_coord_sys) database load error"}));
}
