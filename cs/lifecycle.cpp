// The exported life of a coordinate system: create, create-and-lock with
// sharing, check, copy, lock, delete, status and enumeration.
#include "cs/cs_private.hpp"
#include "frame/error.hpp"
#include "proj/registry.hpp"

#include <cstring>

namespace {

// Identifiers come by pointer and are read once; a null pointer names no
// system.
int read_id(const int *id) { return id ? *id : 0; }

// An inconsistent pair is not a failure: the host is told and goes on.
void announce_status(const mpx_coord_sys &cs) {
    if (cs.status != 0)
        err_deliver_direct("Inconsistent datum/projection pair");
}

int create(const char *datum_name, const char *projection_name, const char *units, bool share,
           const char *load_error) {
    cs_initialise(); // the creation goes on even when it failed
    bool is_new = false;
    const int id = cs_create(datum_name, projection_name, units, share, &is_new);
    if (id < 1)
        return id;
    mpx_coord_sys *cs = cs_lookup(id);
    if (is_new && cs_db_load(cs) != 0) {
        mpx_combine_error(MPX_CLASS_SYSTEM, 3, load_error);
        cs_delete(id);
        return -1;
    }
    if (share)
        cs->locked = 1;
    announce_status(*cs);
    return id;
}

} // namespace

int cs_copy(int id) noexcept {
    const mpx_coord_sys *source = cs_lookup(id);
    if (!source) {
        mpx_combine_error(MPX_CLASS_PROGRAM, 0, "id not found (cs_copy)");
        return -1;
    }
    bool is_new = false;
    const int copy_id = cs_create(source->datum.name, source->projection.name,
                                  source->horizontal_label, false, &is_new);
    if (copy_id < 1)
        return copy_id;
    mpx_coord_sys *copy = cs_lookup(copy_id);
    *copy = *source;
    copy->ref_count = 1;
    copy->params = nullptr; // the copy gets a record of its own below
    if (source->params) {
        if (proj_alloc_params(copy) < 0) {
            mpx_combine_error(MPX_CLASS_SYSTEM, 0, "(mpx_copy_coord_sys");
            cs_delete(copy_id);
            return -1;
        }
        std::memcpy(
            copy->params, source->params,
            static_cast<std::size_t>(proj_entry(source->projection.proj_index)->param_size));
    }
    return copy_id;
}

extern "C" int mpx_create_coord_sys(const char *datum_name, const char *projection_name,
                                    const char *units) noexcept {
    return create(datum_name, projection_name, units, false,
                  "(mpx create_coord_sys) database load error");
}

extern "C" int mpx_crelock_coord_sys(const char *datum_name, const char *projection_name,
                                     const char *units) noexcept {
    return create(datum_name, projection_name, units, true,
                  "(mpx_crelock_coord_sys) database load error");
}

extern "C" int mpx_check_creation_coord_sys(const char *datum_name, const char *projection_name,
                                            const char *units) noexcept {
    const int id = mpx_crelock_coord_sys(datum_name, projection_name, units);
    if (id < 1)
        return -1;
    const int status = mpx_inq_status_coord_sys(&id);
    mpx_delete_coord_sys(&id); // drops only the reference just taken
    return status;
}

extern "C" int mpx_inq_status_coord_sys(const int *id) noexcept {
    const mpx_coord_sys *cs = cs_lookup(read_id(id));
    if (!cs) {
        mpx_combine_error(MPX_CLASS_PROGRAM, 3, "(mpx_inq_status_coord_sys) id not found");
        return -1;
    }
    return cs->status;
}

extern "C" int mpx_copy_coord_sys(const int *id) noexcept {
    const int copy_id = cs_copy(read_id(id));
    if (copy_id < 1) {
        mpx_combine_error(MPX_CLASS_PROGRAM, 3, "(mpx_copy_coord_sys) error");
        return copy_id;
    }
    cs_lookup(copy_id)->locked = 0;
    return copy_id;
}

extern "C" int mpx_lock_coord_sys(const int *id) noexcept {
    mpx_coord_sys *cs = cs_lookup(read_id(id));
    if (!cs) {
        mpx_combine_error(MPX_CLASS_PROGRAM, 3, "(mpx_lock_coord_sys) id not found");
        return -1;
    }
    cs->locked = 1;
    return 0;
}

extern "C" int mpx_delete_coord_sys(const int *id) noexcept {
    const int value = read_id(id);
    if (cs_delete(value) != 0) {
        mpx_combine_error(MPX_CLASS_PROGRAM, 3, "(mpx_delete_coord_sys) error");
        return -1;
    }
    // Cached transformations of the system go, even when it lives on
    // through other references.
    cs_notify_delete(value);
    return 0;
}

extern "C" int mpx_next_coord_sys(const int *id) noexcept { return cs_next(read_id(id) == 0); }
