// A coordinate system's projection instance: its parameter record and the
// routines of the registry entry that computes it.
#include "frame/support.hpp"
#include "proj/registry.hpp"
#include "proj/registry_private.hpp"

#include <cstring>

namespace {

const mpx_proj_entry *entry_of(const mpx_coord_sys *cs) {
    return cs ? proj_entry(cs->projection.proj_index) : nullptr;
}

} // namespace

int proj_alloc_params(mpx_coord_sys *cs) noexcept {
    const mpx_proj_entry *entry = entry_of(cs);
    if (!entry) {
        mpx_combine_error(MPX_CLASS_SYSTEM, 0, kMsgBaseNotFound);
        return -1;
    }
    const auto size = static_cast<std::size_t>(entry->param_size);
    void *block = qmsc_HeapMalloc(size);
    if (!block) {
        mpx_combine_error(MPX_CLASS_SYSTEM, 0, kMsgMemoryShortage);
        return -1;
    }
    // Hidden and private fields start at zero until the loader and init
    // fill them; no projection then sees stale heap contents.
    std::memset(block, 0, size);
    cs->params = block;
    return entry->param_size;
}

void proj_free_params(mpx_coord_sys *cs) noexcept {
    if (!cs)
        return;
    qmsc_HeapFree(cs->params);
    cs->params = nullptr;
}

int proj_init_params(mpx_coord_sys *cs) noexcept {
    const mpx_proj_entry *entry = entry_of(cs);
    const int status = entry && entry->init && cs->params ? entry->init(cs->params) : -1;
    if (status != 0)
        mpx_combine_error(MPX_CLASS_SYSTEM, 0, "projection initialisation");
    return status;
}

mpx_proj_forward_fn proj_forward_of(const mpx_coord_sys *cs) noexcept {
    const mpx_proj_entry *entry = entry_of(cs);
    return entry ? entry->forward : nullptr;
}

mpx_proj_backward_fn proj_backward_of(const mpx_coord_sys *cs) noexcept {
    const mpx_proj_entry *entry = entry_of(cs);
    return entry ? entry->backward : nullptr;
}

int proj_mode_of(const mpx_coord_sys *cs) noexcept {
    const mpx_proj_entry *entry = entry_of(cs);
    return entry ? entry->mode : 0;
}

int proj_long_cut(const mpx_coord_sys *cs, double *value) noexcept {
    const mpx_proj_entry *entry = entry_of(cs);
    if (!entry || !entry->descriptor || !cs->params || !value)
        return 0;
    char name[] = "long_cut"; // struct_inq writes the name back
    char type = MPX_TYPE_DOUBLE;
    return struct_inq(entry->descriptor, cs->params, name, &type, value,
                      static_cast<int>(sizeof *value)) == 0
               ? 1
               : 0;
}
