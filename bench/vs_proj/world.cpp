// The world projections on the bundled world systems, forward and inverse,
// from and to geodetic degrees over the whole world (short of the poles and
// the 180th meridian): mpxlib and PROJ on the same points. Winkel Tripel
// runs on the datum SPHERE, where it is Winkel's projection with the
// standard parallel at the equator; the others on WGS 84.
#include "side_by_side.hpp"

#include <iterator>
#include <string>

namespace {

struct WorldCase {
    const char *name;   // benchmark case
    const char *datum;  // bundled datum
    const char *system; // bundled projected system
    const char *proj;   // the same projection in PROJ, radians in and metres out
};

const WorldCase kCases[] = {
    {"Sinusoidal", "WGS84", "WORLD_SINUSOIDAL", "+proj=sinu +ellps=WGS84"},
    {"Mollweide", "WGS84", "WORLD_MOLLWEIDE", "+proj=moll +ellps=WGS84"},
    {"EckertIV", "WGS84", "WORLD_ECKERT4", "+proj=eck4 +ellps=WGS84"},
    {"EckertVI", "WGS84", "WORLD_ECKERT6", "+proj=eck6 +ellps=WGS84"},
    {"Robinson", "WGS84", "WORLD_ROBINSON", "+proj=robin +ellps=WGS84"},
    {"VanDerGrinten", "WGS84", "WORLD_VANDERGRINTEN", "+proj=vandg +ellps=WGS84"},
    {"WinkelTripel", "SPHERE", "WORLD_WINKELTRIPEL", "+proj=wintri +lat_1=0 +R=6371007"},
};

const std::vector<double> &world_degrees() {
    static const std::vector<double> p = grid_points(-179, 179, -85, 85);
    return p;
}

std::string pipeline(const WorldCase &c) {
    return std::string("+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad +step ") +
           c.proj;
}

struct Pair {
    int geodetic, projected;
};

// The case's two systems, made once (the library has 19 places for them).
Pair systems_of(std::size_t i) {
    static const std::vector<Pair> pairs = [] {
        std::vector<Pair> made;
        for (const WorldCase &c : kCases)
            made.push_back({bundled_system(c.datum, "GEODETIC", "degrees"),
                            bundled_system(c.datum, c.system)});
        return made;
    }();
    return pairs[i];
}

// Every case's four benchmarks, registered before the program runs them.
const bool kRegistered = [] {
    for (std::size_t i = 0; i < std::size(kCases); ++i) {
        const std::string name = kCases[i].name;
        const std::string proj = pipeline(kCases[i]);
        benchmark::RegisterBenchmark((name + "Forward/mpx").c_str(), [i](benchmark::State &s) {
            time_mpx(s, systems_of(i).geodetic, systems_of(i).projected, world_degrees());
        });
        benchmark::RegisterBenchmark((name + "Forward/proj").c_str(), [proj](benchmark::State &s) {
            time_proj(s, proj.c_str(), PJ_FWD, world_degrees());
        });
        benchmark::RegisterBenchmark((name + "Inverse/mpx").c_str(), [i](benchmark::State &s) {
            const Pair p = systems_of(i);
            time_mpx(s, p.projected, p.geodetic,
                     mpx_transformed(p.geodetic, p.projected, world_degrees()));
        });
        benchmark::RegisterBenchmark(
            (name + "Inverse/proj").c_str(), [i, proj](benchmark::State &s) {
                const Pair p = systems_of(i);
                time_proj(s, proj.c_str(), PJ_INV,
                          mpx_transformed(p.geodetic, p.projected, world_degrees()));
            });
    }
    return true;
}();

} // namespace
