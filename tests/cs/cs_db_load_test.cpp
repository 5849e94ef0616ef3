// Loading systems from the fixture database: kinds and units, the projection
// instance, consistency with the datum, field systems, broken records.
#include "tests/cs/cs_fixture.hpp"

#include <cmath>

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

TEST_F(CsLoad, LabelsGiveTheirFactorAndKind) {
    struct Case {
        const char *projection, *units, *label;
        double factor;
        int coord_type;
    };
    for (const Case &c : {
             Case{"GEODETIC", "natural", "degrees", 0.017453292519943295, MPX_COORD_GEODETIC},
             Case{"GEODETIC", "", "degrees", 0.017453292519943295, MPX_COORD_GEODETIC},
             Case{"GEODETIC", "degrees/m", "degrees", 0.017453292519943295, MPX_COORD_GEODETIC},
             Case{"GEODETIC", "radians", "radians", 1.0, MPX_COORD_GEODETIC},
             Case{"GEODETIC", "grads", "grads", 0.015707963267948967, MPX_COORD_GEODETIC},
             Case{"GEOCENTRIC", "feet/up", "feet", 1.0, MPX_COORD_GEOCENTRIC},
             // A projected system takes the unit of its metre factor.
             Case{"GRID_FEET", "chosen/up", "feet", 0.3048, MPX_COORD_PROJECTED},
             Case{"GRID_NEAR_FEET", "chosen/up", "feet", 0.30529, MPX_COORD_PROJECTED},
             Case{"GRID_ODD", "chosen/up", "????", 0.3058, MPX_COORD_PROJECTED},
             Case{"GRID_HALF", "chosen/up", "????", 0.5, MPX_COORD_PROJECTED},
         }) {
        SCOPED_TRACE(std::string(c.projection) + " " + c.units);
        const mpx_coord_sys *cs = cs_lookup(mpx_create_coord_sys("WGS84", c.projection, c.units));
        ASSERT_NE(cs, nullptr);
        EXPECT_EQ(cs->coord_type, c.coord_type);
        EXPECT_STREQ(cs->horizontal_label, c.label);
        EXPECT_EQ(cs->horizontal_factor, c.factor);
    }
    EXPECT_EQ(take_errors(), Lines{});
}

TEST_F(CsLoad, InstanceGetsItsParametersAndTheDatumEllipsoidThenInit) {
    const mpx_coord_sys *cs = cs_lookup(mpx_create_coord_sys("WGS84", "GRID_A", ""));
    ASSERT_NE(cs, nullptr);
    EXPECT_EQ(attribute(cs, "param_two"), 2.5);
    EXPECT_EQ(attribute(cs, "spheroid.radius"), 6378137.0);
    EXPECT_EQ(attribute(cs, "spheroid.eccentricity"), 0.0818191908426);
    EXPECT_EQ(attribute(cs, "long_cut"), 190.0); // written by proj_a's init
    // A datum in 0.30479 m units under a projection in metres.
    cs = cs_lookup(mpx_create_coord_sys("CLARKE_FT", "GRID_B", ""));
    EXPECT_DOUBLE_EQ(attribute(cs, "spheroid.radius"), 20925832.16 * 0.30479);
}

TEST_F(CsLoad, StatusBitsJudgeTheProjectionAgainstTheDatum) {
    struct Case {
        const char *datum, *projection;
        int status;
    };
    for (const Case &c : {
             Case{"WGS84", "GRID_B", 0},         // nothing stated
             Case{"WGS84", "WGS_STATED", 0},     // radius 0.05 m off
             Case{"WGS84", "WGS_OFF_RADIUS", 1}, // 0.2 m off
             Case{"WGS84", "WGS_OFF_ECC", 1},    // eccentricity 8e-7 off
             Case{"WGS84", "PARIS_GRID", 2},     // another prime meridian
             Case{"PARIS_DATUM", "WGS_STATED", 3},
             Case{"NOMERID", "PARIS_GRID", 2},    // the datum names none
             Case{"CLARKE_FT", "FEET_STATED", 0}, // compared in metres
         }) {
        SCOPED_TRACE(std::string(c.datum) + " " + c.projection);
        EXPECT_EQ(mpx_check_creation_coord_sys(c.datum, c.projection, ""), c.status);
        EXPECT_EQ(take_errors(), Lines(c.status ? 1 : 0, "Inconsistent datum/projection pair"));
    }
    EXPECT_EQ(enumerate(), Ids{}); // all released
}

TEST_F(CsLoad, MissingAndBrokenRecordsAreReported) {
    mpx_xxxx_install(); // installed, but the database has no table for it
    struct Case {
        const char *datum, *projection;
        Lines lines;
    };
    // "gon" is no angular unit; projected systems replace the label anyway.
    for (const Case &c : {
             Case{"WGS84", "GEODETIC", {"P1:Bad Angular unit"}},
             Case{"WGS84", "geodetic", {"U1:Projection not found"}}, // exact keyword only
             Case{"WGS84", "NO_SUCH_TYPE", {"S1:Base projection not found"}},
             Case{"WGS84", "NO_TABLE", {"S1:GDB:opening the file", "S2:(cs_db_load)"}},
             Case{"WGS84", "NO_ROW", {"S1:(cs_db_load)"}},
             Case{"WGS84", "BAD_FACTOR", {"S1:Bad metre factor", "S2:(cs_db_load)"}},
             Case{"ZERO_FACTOR", "GEODETIC", {"S1:Bad metre factor", "S2:(cs_db_load)"}},
             // An ellipsoid that is no ellipsoid is refused at creation rather
             // than carried into every point.
             Case{"RADIUS_ZERO", "GEODETIC", {"S1:Bad ellipsoid (cs_db_load)"}},
             Case{"RADIUS_NEGATIVE", "GEODETIC", {"S1:Bad ellipsoid (cs_db_load)"}},
             Case{"RADIUS_INFINITE", "GEOCENTRIC", {"S1:Bad ellipsoid (cs_db_load)"}},
             Case{"RADIUS_TEXT", "GEODETIC", {"S1:Bad ellipsoid (cs_db_load)"}},
             Case{"ECC_ONE", "GEODETIC", {"S1:Bad ellipsoid (cs_db_load)"}},
             Case{"ECC_NEGATIVE", "GRID_A", {"S1:Bad ellipsoid (cs_db_load)"}},
             Case{"ECC_NAN", "GEODETIC", {"S1:Bad ellipsoid (cs_db_load)"}},
             Case{"WGS84", "FIELD_BAD_REF", {"U1:Field ref-projection not found"}},
             Case{"WGS84", "FIELD_NO_DATA", {"S1:error loading field data", "S2:(cs_db_load)"}},
             Case{"WGS84", "FIELD_SINGULAR", {"S1:projection initialisation", "S2:(cs_db_load)"}},
         }) {
        EXPECT_EQ(mpx_create_coord_sys(c.datum, c.projection, "gon"), -1) << c.projection;
        Lines expected = c.lines;
        expected.push_back("S3:(mpx create_coord_sys) database load error");
        EXPECT_EQ(take_errors(), expected) << c.projection;
    }
    EXPECT_EQ(enumerate(), Ids{});
}

TEST_F(CsLoad, FieldSystemsPutTheirAffineMapInFrontOfOneSharedBaseEntry) {
    const mpx_coord_sys *one = cs_lookup(mpx_create_coord_sys("WGS84", "FIELD_ONE", ""));
    const mpx_coord_sys *two = cs_lookup(mpx_create_coord_sys("WGS84", "FIELD_TWO", ""));
    ASSERT_TRUE(one && two);
    const mpx_proj_entry *entry = proj_entry(one->projection.proj_index);
    EXPECT_EQ(two->projection.proj_index, one->projection.proj_index);
    EXPECT_EQ(attribute(one, "spheroid.radius"), 6378137.0);
    // linear: X = 1000 lon + 50, Y = 1000 lat; the field takes off 1000, 2000.
    double x = 0, y = 0;
    ASSERT_EQ(entry->forward(one->params, 0.25, 0.5, &x, &y), 0);
    EXPECT_DOUBLE_EQ(x, 250.0 + 50.0 - 1000.0);
    EXPECT_DOUBLE_EQ(y, 500.0 - 2000.0);
    // The second keeps its own unit; b1 = -map_x_yfact, b2 = map_x_xfact.
    EXPECT_STREQ(two->horizontal_label, "feet");
    EXPECT_EQ(attribute(two, "map_y_xfact"), -0.5);
    EXPECT_EQ(attribute(two, "map_y_yfact"), 0.8660254037844386);
    const int other = mpx_create_coord_sys("WGS84", "FIELD_OTHER_DATUM", "");
    EXPECT_EQ(mpx_inq_status_coord_sys(&other), MPX_STATUS_OTHER_DATUM); // created all the same
    EXPECT_EQ(take_errors(), Lines{"Inconsistent datum/projection pair"});
    // A third base keyword finds the registry full.
    while (proj_count() < MPX_MAX_PROJECTIONS)
        ASSERT_EQ(install_linear(0, "filler"), 0);
    EXPECT_EQ(mpx_create_coord_sys("WGS84", "FIELD_ON_A", ""), -1);
    EXPECT_EQ(take_errors(),
              (Lines{"S1:Too many base projections", "S2:Error creating field projection",
                     "S3:(mpx create_coord_sys) database load error"}));
}
