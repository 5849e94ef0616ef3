// The world projections on the bundled world systems, forward and inverse,
// from and to geodetic degrees over the whole world (short of the poles and
// the 180th meridian): mpxlib and PROJ on the same points. Winkel Tripel
// runs on the datum SPHERE, where it is Winkel's projection with the
// standard parallel at the equator; the others on WGS 84. mpxlib and PROJ
// agree within 3 mm (Sinusoidal), 1e-6 m (Mollweide, the Eckerts, Winkel
// Tripel) and 15 cm (Van der Grinten). Robinson differs
// by up to 8 km between the 5-degree rows of the table: mpxlib interpolates
// Robinson's published table by Snyder's 1990 second-degree formula, PROJ
// by its own cubic coefficients (2.1 km apart at 82 N forward, 3.6 km
// through PROJ's inverse at 82 degrees).
#include "side_by_side.hpp"

namespace {

const ProjectionCase kCases[] = {
    {"Sinusoidal", "WGS84", "WORLD_SINUSOIDAL", "+proj=sinu +ellps=WGS84", -179, 179, -85, 85,
     0.01},
    {"Mollweide", "WGS84", "WORLD_MOLLWEIDE", "+proj=moll +ellps=WGS84", -179, 179, -85, 85, 0.001},
    {"EckertIV", "WGS84", "WORLD_ECKERT4", "+proj=eck4 +ellps=WGS84", -179, 179, -85, 85, 0.001},
    {"EckertVI", "WGS84", "WORLD_ECKERT6", "+proj=eck6 +ellps=WGS84", -179, 179, -85, 85, 0.001},
    {"Robinson", "WGS84", "WORLD_ROBINSON", "+proj=robin +ellps=WGS84", -179, 179, -85, 85, 1e4},
    {"VanDerGrinten", "WGS84", "WORLD_VANDERGRINTEN", "+proj=vandg +ellps=WGS84", -179, 179, -85,
     85, 0.5},
    {"WinkelTripel", "SPHERE", "WORLD_WINKELTRIPEL", "+proj=wintri +lat_1=0 +R=6371007", -179, 179,
     -85, 85, 0.001},
};

const bool kRegistered = register_projection_cases(kCases);

} // namespace
