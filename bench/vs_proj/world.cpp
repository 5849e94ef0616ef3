// The world projections on the bundled world systems, forward and inverse,
// from and to geodetic degrees over the whole world (short of the poles and
// the 180th meridian): mpxlib and PROJ on the same points. Winkel Tripel
// runs on the datum SPHERE, where it is Winkel's projection with the
// standard parallel at the equator; the others on WGS 84.
#include "side_by_side.hpp"

namespace {

const ProjectionCase kCases[] = {
    {"Sinusoidal", "WGS84", "WORLD_SINUSOIDAL", "+proj=sinu +ellps=WGS84", -179, 179, -85, 85},
    {"Mollweide", "WGS84", "WORLD_MOLLWEIDE", "+proj=moll +ellps=WGS84", -179, 179, -85, 85},
    {"EckertIV", "WGS84", "WORLD_ECKERT4", "+proj=eck4 +ellps=WGS84", -179, 179, -85, 85},
    {"EckertVI", "WGS84", "WORLD_ECKERT6", "+proj=eck6 +ellps=WGS84", -179, 179, -85, 85},
    {"Robinson", "WGS84", "WORLD_ROBINSON", "+proj=robin +ellps=WGS84", -179, 179, -85, 85},
    {"VanDerGrinten", "WGS84", "WORLD_VANDERGRINTEN", "+proj=vandg +ellps=WGS84", -179, 179, -85,
     85},
    {"WinkelTripel", "SPHERE", "WORLD_WINKELTRIPEL", "+proj=wintri +lat_1=0 +R=6371007", -179, 179,
     -85, 85},
};

const bool kRegistered = register_projection_cases(kCases);

} // namespace
