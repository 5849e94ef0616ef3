// Transverse Mercator systems loaded from a database (tests/proj/data/tm_db)
// and used through mpx_transform, as a host does: the tables' columns must
// match the descriptors' visible attributes, zone and hemisphere must load
// as a long and a character, and the published examples must come out.
#include "mpxlib.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr const char *kDatabase = MPX_SOURCE_DIR "tests/proj/data/tm_db/";

// Initialises the library, then installs the keywords the base table does
// not run yet.
void prepare_library() {
    setenv("TORVA_ORTIX_DIR", kDatabase, 1);
    bool seen[3] = {};
    const char *keywords[3] = {"tranmerc", "stm", "utm"};
    char name[MPX_NAME_SIZE];
    for (int status = mpx_inq_next_base(nullptr), n = 0; status == 0 && n < 100;
         status = mpx_inq_next_base(name), ++n) {
        for (int i = 0; i < 3; ++i)
            seen[i] = seen[i] || std::strcmp(name, keywords[i]) == 0;
    }
    int (*installers[3])() = {mpx_tranmerc_install, mpx_stm_install, mpx_utm_install};
    for (int i = 0; i < 3; ++i) {
        if (!seen[i])
            ASSERT_EQ(installers[i](), 0) << keywords[i];
    }
}

struct Example {
    const char *datum;
    const char *projection;
    double lon_degrees, lat_degrees;
    double east, north;
    double tolerance; // metres, the published rounding
};

// GDA Technical Manual (Flinders Peak, MGA zone 55); EPSG Guidance Note 7-2
// (British National Grid), also with both axes reversed.
const Example kExamples[] = {
    {"GDA94", "MGA55", 144.42486788888888, -37.95103341666667, 273741.297, 5796489.777, 0.001},
    {"OSGB36", "BNG", 0.5, 50.5, 577274.99, 69740.50, 0.01},
    {"OSGB36", "BNG_WS", 0.5, 50.5, -577274.99, -69740.50, 0.01},
};

TEST(TransverseMercatorSystem, DatabaseSystemsReproduceThePublishedExamplesBothWays) {
    prepare_library();
    for (const Example &e : kExamples) {
        const int geodetic = mpx_crelock_coord_sys(e.datum, "GEODETIC", "degrees");
        const int grid = mpx_crelock_coord_sys(e.datum, e.projection, "metres");
        ASSERT_GT(geodetic, 0) << e.projection;
        ASSERT_GT(grid, 0) << e.projection;

        ASSERT_EQ(mpx_set_source(&geodetic), 0);
        ASSERT_EQ(mpx_set_target(&grid), 0);
        const double height = 12.5;
        double x = 0, y = 0, z = 0;
        ASSERT_EQ(mpx_transform(&e.lon_degrees, &e.lat_degrees, &height, &x, &y, &z), 0);
        EXPECT_NEAR(x, e.east, e.tolerance) << e.projection;
        EXPECT_NEAR(y, e.north, e.tolerance) << e.projection;
        EXPECT_EQ(z, height);

        ASSERT_EQ(mpx_set_source(&grid), 0);
        ASSERT_EQ(mpx_set_target(&geodetic), 0);
        double lon = 0, lat = 0;
        ASSERT_EQ(mpx_transform(&e.east, &e.north, &height, &lon, &lat, &z), 0);
        // 1e-7 degree is about a centimetre.
        EXPECT_NEAR(lon, e.lon_degrees, 1e-7) << e.projection;
        EXPECT_NEAR(lat, e.lat_degrees, 1e-7) << e.projection;
    }
}

} // namespace
