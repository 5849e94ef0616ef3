// The projection registry: the process-wide table of installed projections
// and the building operations installers call to fill it.
#include "proj/registry.hpp"
#include "proj/registry_private.hpp"

#include <array>
#include <cstring>

namespace {

constexpr int kNone = -1;
constexpr char kMsgErrorCreating[] = "Error creating a projection";

struct RegistryState {
    // 50 ordinary entries, then the special entry of geodetic and
    // geocentric systems at index MPX_SPECIAL_PROJECTION.
    std::array<mpx_proj_entry, MPX_MAX_PROJECTIONS + 1> entries{};
    int count = 0;
    int creating = kNone; // index of the entry between create and end
    struct_desc *affine = nullptr;
    bool notice_given = false;
};

RegistryState g_registry;

// The building operations other than create must sit inside a definition.
mpx_proj_entry *entry_being_created() {
    if (g_registry.creating == kNone) {
        mpx_combine_error(MPX_CLASS_PROGRAM, 0, "Not creating a projection");
        return nullptr;
    }
    return &g_registry.entries[static_cast<std::size_t>(g_registry.creating)];
}

int dummy_init(void *) noexcept { return mpx_dummy(); }
int dummy_forward(void *, double, double, double *, double *) noexcept { return mpx_dummy(); }
int dummy_backward(void *, double, double, double *, double *) noexcept { return mpx_dummy(); }

} // namespace

mpx_proj_entry *proj_entry(int index) noexcept {
    if (index == MPX_SPECIAL_PROJECTION || (index >= 0 && index < g_registry.count))
        return &g_registry.entries[static_cast<std::size_t>(index)];
    return nullptr;
}

int proj_count() noexcept { return g_registry.count; }

void proj_set_special(struct_desc *descriptor) noexcept {
    g_registry.entries[MPX_SPECIAL_PROJECTION] = {
        descriptor, dummy_init, dummy_forward, dummy_backward, 0, 0, -1, -1};
}

void proj_set_affine(struct_desc *descriptor) noexcept { g_registry.affine = descriptor; }

struct_desc *proj_affine_descriptor() noexcept { return g_registry.affine; }

int proj_reserve_entry() noexcept {
    if (g_registry.count < 0 || g_registry.count >= MPX_MAX_PROJECTIONS)
        return kNone;
    const int index = g_registry.count++;
    g_registry.entries[static_cast<std::size_t>(index)] = {nullptr, nullptr, nullptr, nullptr,
                                                           0,       0,       -1,      -1};
    return index;
}

// An entry whose creation failed has no descriptor; it stays counted but
// is never found.
int proj_find(const char *keyword) noexcept {
    if (!keyword)
        return kNone;
    for (int i = 0; i < g_registry.count; ++i) {
        const struct_desc *d = g_registry.entries[static_cast<std::size_t>(i)].descriptor;
        if (d && d->name && std::strcmp(d->name, keyword) == 0)
            return i;
    }
    return kNone;
}

bool proj_first_notice() noexcept {
    const bool first = !g_registry.notice_given;
    g_registry.notice_given = true;
    return first;
}

int mpx_dummy() noexcept {
    constexpr int kDummyCalled = -999;
    mpx_combine_error(MPX_CLASS_PROGRAM, 0, "mpx_dummy() called (it should not be!)");
    return kDummyCalled;
}

extern "C" int mpx_proj_create(const char *keyword, void *sample, int param_size) noexcept {
    // A keyword is the entry's name for good, and a negative size could
    // never be allocated: both are refused before anything is counted.
    if (!keyword || param_size < 0) {
        mpx_combine_error(MPX_CLASS_SYSTEM, 0, kMsgErrorCreating);
        return -1;
    }
    const int index = proj_reserve_entry();
    if (index == kNone) {
        mpx_combine_error(MPX_CLASS_SYSTEM, 0, kMsgTooManyProjections);
        return -1;
    }
    g_registry.creating = index;
    struct_begin(keyword, sample); // a failure shows again at mpx_proj_end
    g_registry.entries[static_cast<std::size_t>(index)].param_size = param_size;
    return 0;
}

extern "C" int mpx_proj_ins_par(const char *name, void *field, int type) noexcept {
    if (!entry_being_created())
        return -1;
    return struct_add(name, field, type);
}

extern "C" int mpx_proj_ins_funcs(mpx_proj_init_fn init, mpx_proj_forward_fn forward,
                                  mpx_proj_backward_fn backward) noexcept {
    mpx_proj_entry *entry = entry_being_created();
    if (!entry)
        return -1;
    entry->init = init;
    entry->forward = forward;
    entry->backward = backward;
    return 0;
}

extern "C" int mpx_proj_ins_mode(int mode) noexcept {
    mpx_proj_entry *entry = entry_being_created();
    if (!entry)
        return -1;
    entry->mode = mode;
    return 0;
}

extern "C" int mpx_proj_end() noexcept {
    mpx_proj_entry *entry = entry_being_created();
    if (!entry)
        return -1;
    entry->descriptor = struct_end();
    g_registry.creating = kNone;
    if (!entry->descriptor) {
        mpx_combine_error(MPX_CLASS_SYSTEM, 0, kMsgErrorCreating);
        return -1;
    }
    entry->radius_offset = struct_offset(entry->descriptor, "spheroid.radius");
    entry->ecc_offset = struct_offset(entry->descriptor, "spheroid.eccentricity");
    return 0;
}
