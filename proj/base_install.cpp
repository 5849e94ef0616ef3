// Installation of the library's base projections, in their fixed order:
// the registry indexes 0 to 32 follow this table.
#include "mpxlib.h"

#include <cstddef>
#include <initializer_list>

namespace {

using Installer = int (*)() noexcept;

// One row per base projection, in registry order.
constexpr std::initializer_list<Installer> kBaseInstallers = {};

constexpr std::size_t kBaseProjectionCount = 33;
// Tighten to == once all 33 exist.
static_assert(kBaseInstallers.size() <= kBaseProjectionCount);

} // namespace

// A second call installs further copies behind the first set until the
// registry is full; lookups by keyword keep finding the first copies.
extern "C" int mpx_base_install() noexcept {
    for (Installer install : kBaseInstallers)
        if (install() != 0)
            return -1;
    return 0;
}
