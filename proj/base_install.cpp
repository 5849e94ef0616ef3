// Installation of the library's base projections, in their fixed order:
// the registry indexes 0 to 32 follow this table.
#include "mpxlib.h"

#include <cstddef>
#include <initializer_list>

namespace {

using Installer = int (*)() noexcept;

// One row per base projection, in registry order; the comment is the
// projection's place among all 33.
constexpr std::initializer_list<Installer> kBaseInstallers = {
    mpx_coniced_install,  // 1
    mpx_lambert1_install, // 2
    mpx_lambert2_install, // 3
    mpx_mollweid_install, // 4
    mpx_mercator_install, // 5
    mpx_tranmerc_install, // 6
    mpx_stm_install,      // 7
    mpx_utm_install,      // 8
    mpx_albersea_install, // 9
    mpx_regpol_install,   // 10
    mpx_modpol_install,   // 11
    mpx_azimuted_install, // 12
    mpx_obmerc_b_install, // 13
    mpx_stereo_install,   // 14
    mpx_grinten_install,  // 15
    mpx_lambazea_install, // 16
    mpx_sinusoid_install, // 17
    mpx_eckertiv_install, // 18
    mpx_eckertvi_install, // 19
    mpx_placaree_install, // 20
    mpx_cassini_install,  // 21
    mpx_bioconco_install, // 22
    mpx_dutch_install,    // 23
    mpx_borneo_install,   // 24
    mpx_swiss_install,    // 25
    mpx_winktrip_install, // 26
    mpx_nzmapgrd_install, // 27
    mpx_labordom_install, // 28
    mpx_bonne_install,    // 29
    mpx_orthog_install,   // 30
    mpx_gnomonic_install, // 31
    mpx_modstero_install, // 32
    mpx_robinson_install, // 33
};

constexpr std::size_t kBaseProjectionCount = 33;
static_assert(kBaseInstallers.size() == kBaseProjectionCount);

} // namespace

// A second call installs further copies behind the first set until the
// registry is full; lookups by keyword keep finding the first copies.
extern "C" int mpx_base_install() noexcept {
    for (Installer install : kBaseInstallers)
        if (install() != 0)
            return -1;
    return 0;
}
