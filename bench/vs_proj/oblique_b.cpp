// The oblique grids of the bundled database, forward and inverse, from and
// to geodetic degrees of each grid's datum over its useful area: Alaska
// zone 1 (Hotine oblique Mercator), the Laborde grid of Madagascar, RSO
// Borneo and the Dutch RD grid: mpxlib and PROJ on the same points. How
// closely the two agree (the larger of the forward difference and the
// inverse one, over each box):
// - Alaska zone 1: 1e-7 m.
// - Laborde: forward 3 cm at the edges of Madagascar, 470 km from the
//   origin; PROJ's inverse 13 cm.
// - RSO Borneo: 2.3 cm, from the natural origin that "borneo" rounds to
//   109.68552 E (PROJ computes it from the centre and the azimuth).
// - RD: 14 cm, the rounded RD polynomials of "dutch" against PROJ's exact
//   double stereographic.
#include "side_by_side.hpp"

namespace {

const ProjectionCase kCases[] = {
    {"AlaskaObliqueMercator", "NAD83", "ALASKA_ZONE1",
     "+proj=omerc +no_uoff +lat_0=57 +lonc=-133.6666666666667 +alpha=323.1301023611111 "
     "+gamma=323.1301023611111 +k=0.9999 +x_0=5000000 +y_0=-5000000 +ellps=GRS80",
     -141, -129.5, 54, 60.5, 0.001},
    {"Laborde", "TANANARIVE", "LABORDE_GRID",
     "+proj=labrd +lat_0=-18.9 +lon_0=46.43722917 +azi=18.9 +k_0=0.9995 +x_0=400000 "
     "+y_0=800000 +ellps=intl",
     43, 51, -26, -11.5, 0.2},
    {"RsoBorneo", "TIMBALAI1948", "RSO_BORNEO",
     "+proj=omerc +no_uoff +lat_0=4 +lonc=115 +alpha=53.31582047222222 "
     "+gamma=53.13010236111111 +k=0.99984 +x_0=0 +y_0=0 +ellps=evrstSS",
     109.5, 119.5, 0.8, 7.5, 0.05},
    {"RdNew", "AMERSFOORT", "RD_NEW",
     "+proj=sterea +lat_0=52.15616055555555 +lon_0=5.38763888888889 +k=0.9999079 "
     "+x_0=155000 +y_0=463000 +ellps=bessel",
     3.2, 7.3, 50.7, 53.6, 0.25},
};

const bool kRegistered = register_projection_cases(kCases);

} // namespace
