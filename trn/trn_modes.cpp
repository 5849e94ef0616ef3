// Inquiries and settings on the current transformation: its status, the
// point count, the robustness mode, and the listing of registered
// projections.
#include "trn/trn_internal.hpp"

#include "cs/cs_table.hpp"
#include "frame/error.hpp"
#include "proj/registry.hpp"

#include <string_view>

namespace {

// The current transformation with any pending set-up run, or null after the
// direct line `no_transformation`.
mpx_transformation *settled_current(const char *no_transformation) noexcept {
    mpx_transformation *t = trn_current();
    if (!t) {
        err_deliver_direct(no_transformation);
        return nullptr;
    }
    trn_settle(t);
    return t;
}

// A geodetic (not geocentric) source and a projected target: the only shape
// in which the host may choose how longitudes reach the projection.
bool geodetic_into_projection(const mpx_transformation &t) noexcept {
    return t.inner_mode == kInnerGeodeticToProjected && t.pre_mode == 0;
}

bool accepts_unconditioned(const mpx_transformation &t) noexcept {
    return (t.target_proj_mode & MPX_PROJ_MODE_UNCONDITIONED) != 0;
}

} // namespace

extern "C" int mpx_inq_trans_status(void) noexcept {
    mpx_transformation *t = trn_current();
    if (!t)
        return kTrnFailed;
    trn_settle(t);
    return t->status;
}

extern "C" int mpx_mod_num_points(const int *n) noexcept {
    mpx_transformation *t = settled_current("(mpx_mod_num_points) no transformation defined");
    if (!t || !n)
        return -1;
    t->num_points = *n;
    // The next use sets the record up again, reloading its datum change.
    t->status = kTrnPending;
    return 0;
}

extern "C" int mpx_mod_trans_mode(const int *mode) noexcept {
    mpx_transformation *t = settled_current("(mpx_mod_trans_mode) no transformation defined");
    if (!t || !mode)
        return -1;
    const int value = *mode;
    const bool choosable = geodetic_into_projection(*t);
    switch (value) {
    case MPX_ROBUST_NONE:
        if (choosable && !accepts_unconditioned(*t))
            break;
        t->robust_mode = MPX_ROBUST_NONE;
        return 0;
    case MPX_ROBUST_WRAP:
    case MPX_ROBUST_REJECT:
        if (!choosable)
            break;
        t->robust_mode = value;
        return 0;
    case MPX_ROBUST_AUTOMATIC:
        t->robust_mode = choosable ? MPX_ROBUST_WRAP : MPX_ROBUST_NONE;
        return 0;
    default:
        mpx_combine_error(MPX_CLASS_PROGRAM, 3, "(mpx_mod_trans_mode) unknown trans mode");
        return -1;
    }
    mpx_combine_error(MPX_CLASS_PROGRAM, 3, "(mpx_mod_trans_mode) bad trans mode");
    return -1;
}

// Mode of inquiry that returns the current robustness mode.
constexpr int kInquireCurrent = 5;

extern "C" int mpx_inq_trans_mode(const int *mode) noexcept {
    const mpx_transformation *t = settled_current("(mpx_inq_trans_mode) no transformation defined");
    if (!t || !mode)
        return -1;
    const bool choosable = geodetic_into_projection(*t);
    switch (*mode) {
    case MPX_ROBUST_NONE:
        return !choosable || accepts_unconditioned(*t) ? 0 : -1;
    case MPX_ROBUST_WRAP:
    case MPX_ROBUST_REJECT:
        return choosable ? 0 : -1;
    case MPX_ROBUST_AUTOMATIC:
        return choosable ? MPX_ROBUST_WRAP : MPX_ROBUST_NONE;
    case kInquireCurrent:
        return t->robust_mode;
    default:
        mpx_combine_error(MPX_CLASS_PROGRAM, 3, "(mpx_inq_trans_mode) unknown trans mode");
        return -1;
    }
}

extern "C" int mpx_inq_next_base(char *name) noexcept {
    cs_initialise();
    if (!name) {
        trn_listing_set(0);
        return 0;
    }
    // An entry whose creation failed has no descriptor and is passed over.
    for (int index = trn_listing_index(); index < proj_count(); ++index) {
        const mpx_proj_entry *entry = proj_entry(index);
        if (entry && entry->descriptor && entry->descriptor->name) {
            // Hosts give room for a name of MPX_NAME_SIZE characters.
            const std::string_view keyword =
                std::string_view(entry->descriptor->name).substr(0, MPX_NAME_SIZE - 1);
            keyword.copy(name, keyword.size());
            name[keyword.size()] = '\0';
            trn_listing_set(index + 1);
            return 0;
        }
    }
    trn_listing_set(proj_count());
    name[0] = '\0';
    return 1;
}
