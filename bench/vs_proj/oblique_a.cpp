// New Zealand Map Grid, the Swiss grid (series against PROJ's closed
// somerc) and the GS-50 modified stereographic, forward and inverse, from
// and to geodetic degrees on each grid's own ellipsoid: mpxlib and PROJ on
// the same points.
#include "side_by_side.hpp"

#include <utility>

namespace {

struct Systems {
    int nz_geodetic, nzmg, ch_geodetic, lv03, us_geodetic, gs50;
};

const Systems &systems() {
    static const Systems s = [] {
        use_bench_database(
            "mpx_vs_proj_oblique_a",
            {{"datum_sp", "name,radius,eccentricity,metre_factor,prime_merid\n"
                          "INTL,6378388.0,0.081991889979029772,1.0,\n"
                          "BESSEL,6377397.155,0.081696831222527508,1.0,\n"
                          "CLARKE66,6378206.4,0.08227186639429059,1.0,\n"},
             {"project", "name,type,metre_factor,radius,eccentricity,prime_merid\n"
                         "NZMG,nzmapgrd,1.0,,,\nLV03,swiss,1.0,,,\nGS50,modstero,1.0,,,\n"},
             {"nzmapgrd", "name,false_east,false_north,centre_merid,centre_lat\n"
                          "NZMG,2510000,6023150,3.01941960595019,-0.7155849933176751\n"},
             {"swiss", "name,false_east,false_north,centre_merid,centre_lat\n"
                       "LV03,200000,600000,0.12984522414316146,0.8194740686761218\n"},
             {"modstero",
              "name,false_east,false_north,centre_merid,centre_lat,num_const,coeff_a1,coeff_a2,"
              "coeff_a3,coeff_a4,coeff_a5,coeff_a6,coeff_a7,coeff_a8,coeff_a9,coeff_a10,coeff_b1,"
              "coeff_b2,coeff_b3,coeff_b4,coeff_b5,coeff_b6,coeff_b7,coeff_b8,coeff_b9,coeff_b10\n"
              "GS50,0,0,-2.0943951023931953,0.7853981633974483,10,0.9827497,0.0210669,"
              "-0.1031415,-0.0323337,0.0502303,0.0251805,-0.0012315,0.0072202,-0.0194029,"
              "-0.0210072,0,0.0053804,-0.0571664,-0.0322847,0.1211983,0.0895678,-0.1416121,"
              "-0.1317091,0.0759677,0.0834037\n"},
             {"datumcha", "name,change_type\n"},
             {"bursawol", "name,translation_x,translation_y,translation_z,rotation_x,"
                          "rotation_y,rotation_z,scale_change\n"}});
        return Systems{mpx_crelock_coord_sys("INTL", "GEODETIC", "degrees"),
                       mpx_crelock_coord_sys("INTL", "NZMG", "metres"),
                       mpx_crelock_coord_sys("BESSEL", "GEODETIC", "degrees"),
                       mpx_crelock_coord_sys("BESSEL", "LV03", "metres"),
                       mpx_crelock_coord_sys("CLARKE66", "GEODETIC", "degrees"),
                       mpx_crelock_coord_sys("CLARKE66", "GS50", "metres")};
    }();
    return s;
}

constexpr const char *kProjNzmg = "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
                                  "+step +proj=nzmg +lat_0=-41 +lon_0=173 +x_0=2510000 "
                                  "+y_0=6023150 +ellps=intl";
constexpr const char *kProjSwiss =
    "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
    "+step +proj=somerc +lat_0=46.95240555555556 +lon_0=7.439583333333333 +k_0=1 "
    "+x_0=600000 +y_0=200000 +ellps=bessel";
constexpr const char *kProjGs50 = "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
                                  "+step +proj=gs50 +ellps=clrk66";

const std::vector<double> &nz_degrees() {
    static const std::vector<double> p = grid_points(166, 179, -48, -34);
    return p;
}
const std::vector<double> &ch_degrees() {
    static const std::vector<double> p = grid_points(5.9, 10.5, 45.8, 47.8);
    return p;
}
const std::vector<double> &us_degrees() {
    static const std::vector<double> p = grid_points(-125, -67, 25, 49);
    return p;
}

// The Swiss grid prints (north, east); PROJ's somerc (east, north).
std::vector<double> swapped(std::vector<double> points) {
    for (std::size_t i = 0; i + 1 < points.size(); i += 3)
        std::swap(points[i], points[i + 1]);
    return points;
}

void NzmgForward_mpx(benchmark::State &s) {
    time_mpx(s, systems().nz_geodetic, systems().nzmg, nz_degrees());
}
void NzmgForward_proj(benchmark::State &s) { time_proj(s, kProjNzmg, PJ_FWD, nz_degrees()); }
void NzmgInverse_mpx(benchmark::State &s) {
    const auto metres = mpx_transformed(systems().nz_geodetic, systems().nzmg, nz_degrees());
    time_mpx(s, systems().nzmg, systems().nz_geodetic, metres);
}
void NzmgInverse_proj(benchmark::State &s) {
    const auto metres = mpx_transformed(systems().nz_geodetic, systems().nzmg, nz_degrees());
    time_proj(s, kProjNzmg, PJ_INV, metres);
}
void SwissForward_mpx(benchmark::State &s) {
    time_mpx(s, systems().ch_geodetic, systems().lv03, ch_degrees());
}
void SwissForward_proj(benchmark::State &s) { time_proj(s, kProjSwiss, PJ_FWD, ch_degrees()); }
void SwissInverse_mpx(benchmark::State &s) {
    const auto metres = mpx_transformed(systems().ch_geodetic, systems().lv03, ch_degrees());
    time_mpx(s, systems().lv03, systems().ch_geodetic, metres);
}
void SwissInverse_proj(benchmark::State &s) {
    const auto metres = mpx_transformed(systems().ch_geodetic, systems().lv03, ch_degrees());
    time_proj(s, kProjSwiss, PJ_INV, swapped(metres));
}
void Gs50Forward_mpx(benchmark::State &s) {
    time_mpx(s, systems().us_geodetic, systems().gs50, us_degrees());
}
void Gs50Forward_proj(benchmark::State &s) { time_proj(s, kProjGs50, PJ_FWD, us_degrees()); }
void Gs50Inverse_mpx(benchmark::State &s) {
    const auto metres = mpx_transformed(systems().us_geodetic, systems().gs50, us_degrees());
    time_mpx(s, systems().gs50, systems().us_geodetic, metres);
}
void Gs50Inverse_proj(benchmark::State &s) {
    const auto metres = mpx_transformed(systems().us_geodetic, systems().gs50, us_degrees());
    time_proj(s, kProjGs50, PJ_INV, metres);
}

BENCHMARK(NzmgForward_mpx)->Name("NzmgForward/mpx");
BENCHMARK(NzmgForward_proj)->Name("NzmgForward/proj");
BENCHMARK(NzmgInverse_mpx)->Name("NzmgInverse/mpx");
BENCHMARK(NzmgInverse_proj)->Name("NzmgInverse/proj");
BENCHMARK(SwissForward_mpx)->Name("SwissForward/mpx");
BENCHMARK(SwissForward_proj)->Name("SwissForward/proj");
BENCHMARK(SwissInverse_mpx)->Name("SwissInverse/mpx");
BENCHMARK(SwissInverse_proj)->Name("SwissInverse/proj");
BENCHMARK(Gs50Forward_mpx)->Name("Gs50Forward/mpx");
BENCHMARK(Gs50Forward_proj)->Name("Gs50Forward/proj");
BENCHMARK(Gs50Inverse_mpx)->Name("Gs50Inverse/mpx");
BENCHMARK(Gs50Inverse_proj)->Name("Gs50Inverse/proj");

} // namespace
