// mpx_exact_install: puts the exact companions of the Transverse Mercator
// family and of the Lambert conics into the registry ahead of the base
// projections, so that every lookup by keyword finds them first.
#include "proj/exact/exact.hpp"
#include "proj/registry.hpp"

namespace {

using Installer = int (*)() noexcept;

// Keywords the exact forms take over, with their installers.
struct ExactForm {
    const char *keyword;
    Installer install;
};

constexpr ExactForm kExactForms[] = {
    {"tranmerc", exact_tranmerc_install}, {"stm", exact_stm_install},
    {"utm", exact_utm_install},           {"lambert1", exact_lambert1_install},
    {"lambert2", exact_lambert2_install},
};

// The host must call it before the first coordinate system is created.
constexpr char kTooLate[] = "(mpx_exact_install) called after the base projections were installed";

} // namespace

extern "C" int mpx_exact_install(void) noexcept {
    // Installed behind a classic form of the same keyword, an exact form
    // would never be found: refuse rather than install it unreachable.
    for (const ExactForm &form : kExactForms) {
        if (proj_find(form.keyword) >= 0) {
            mpx_combine_error(MPX_CLASS_PROGRAM, 3, kTooLate);
            return -1;
        }
    }
    for (const ExactForm &form : kExactForms) {
        if (form.install() != 0) {
            mpx_combine_error(MPX_CLASS_SYSTEM, 3,
                              "(mpx_exact_install) Error creating a projection");
            return -1;
        }
    }
    return 0;
}
