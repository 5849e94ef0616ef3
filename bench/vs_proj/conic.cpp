// Lambert conformal conic with two standard parallels (Lambert-93) and
// Albers equal-area (CONUS Albers) on GRS 1980, forward and inverse, from
// and to geodetic degrees of the same datum: mpxlib and PROJ on the same
// points, over each system's useful area.
#include "side_by_side.hpp"

namespace {

struct Systems {
    int geodetic, lambert, albers;
};

const Systems &systems() {
    static const Systems s = [] {
        use_bench_database(
            "mpx_vs_proj_conic",
            {{"datum_sp", "name,radius,eccentricity,metre_factor,prime_merid\n"
                          "GRS80,6378137.0,0.081819191042815792,1.0,\n"},
             {"project", "name,type,metre_factor,radius,eccentricity,prime_merid\n"
                         "LAMBERT93,lambert2,1.0,,,\nALBERS,albersea,1.0,,,\n"},
             {"lambert2", "name,false_east,false_north,scale_factor,centre_merid,centre_lat,"
                          "first_paral,second_paral\n"
                          "LAMBERT93,700000,6602157.83881,1,0.05235987755982989,"
                          "0.8115781021773633,0.8552113334772214,0.767944870877505\n"},
             {"albersea", "name,false_east,false_north,first_paral,second_paral,origin_lat,"
                          "origin_long\n"
                          "ALBERS,0,0,0.5148721293383273,0.7941248096574199,0.4014257279586958,"
                          "-1.6755160819145565\n"},
             {"datumcha", "name,change_type\n"},
             {"bursawol", "name,translation_x,translation_y,translation_z,rotation_x,"
                          "rotation_y,rotation_z,scale_change\n"}});
        return Systems{mpx_crelock_coord_sys("GRS80", "GEODETIC", "degrees"),
                       mpx_crelock_coord_sys("GRS80", "LAMBERT93", "metres"),
                       mpx_crelock_coord_sys("GRS80", "ALBERS", "metres")};
    }();
    return s;
}

constexpr const char *kProjLambert =
    "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
    "+step +proj=lcc +lat_0=46.5 +lon_0=3 +lat_1=49 +lat_2=44 +x_0=700000 +y_0=6600000 "
    "+ellps=GRS80";
constexpr const char *kProjAlbers =
    "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
    "+step +proj=aea +lat_0=23 +lon_0=-96 +lat_1=29.5 +lat_2=45.5 +ellps=GRS80";

// Metropolitan France, and the conterminous United States.
const std::vector<double> &france_degrees() {
    static const std::vector<double> p = grid_points(-5, 10, 41, 51.5);
    return p;
}
const std::vector<double> &conus_degrees() {
    static const std::vector<double> p = grid_points(-125, -67, 24, 50);
    return p;
}

void Lambert2Forward_mpx(benchmark::State &s) {
    time_mpx(s, systems().geodetic, systems().lambert, france_degrees());
}
void Lambert2Forward_proj(benchmark::State &s) {
    time_proj(s, kProjLambert, PJ_FWD, france_degrees());
}
void Lambert2Inverse_mpx(benchmark::State &s) {
    const auto metres = mpx_transformed(systems().geodetic, systems().lambert, france_degrees());
    time_mpx(s, systems().lambert, systems().geodetic, metres);
}
void Lambert2Inverse_proj(benchmark::State &s) {
    const auto metres = mpx_transformed(systems().geodetic, systems().lambert, france_degrees());
    time_proj(s, kProjLambert, PJ_INV, metres);
}
void AlbersForward_mpx(benchmark::State &s) {
    time_mpx(s, systems().geodetic, systems().albers, conus_degrees());
}
void AlbersForward_proj(benchmark::State &s) { time_proj(s, kProjAlbers, PJ_FWD, conus_degrees()); }
void AlbersInverse_mpx(benchmark::State &s) {
    const auto metres = mpx_transformed(systems().geodetic, systems().albers, conus_degrees());
    time_mpx(s, systems().albers, systems().geodetic, metres);
}
void AlbersInverse_proj(benchmark::State &s) {
    const auto metres = mpx_transformed(systems().geodetic, systems().albers, conus_degrees());
    time_proj(s, kProjAlbers, PJ_INV, metres);
}

BENCHMARK(Lambert2Forward_mpx)->Name("Lambert2Forward/mpx");
BENCHMARK(Lambert2Forward_proj)->Name("Lambert2Forward/proj");
BENCHMARK(Lambert2Inverse_mpx)->Name("Lambert2Inverse/mpx");
BENCHMARK(Lambert2Inverse_proj)->Name("Lambert2Inverse/proj");
BENCHMARK(AlbersForward_mpx)->Name("AlbersForward/mpx");
BENCHMARK(AlbersForward_proj)->Name("AlbersForward/proj");
BENCHMARK(AlbersInverse_mpx)->Name("AlbersInverse/mpx");
BENCHMARK(AlbersInverse_proj)->Name("AlbersInverse/proj");

} // namespace
