// Seeing inside a conversion, beyond the classic interface: a trace hook on
// the point pipeline and a description of the current transformation with
// the route by which its datum change was found. Both show the library's
// own pipeline and set-up, so what a tool prints cannot drift from what
// the library computes.
#include "trn/inspect.hpp"
#include "trn/trn_internal.hpp"

#include <array>
#include <cstring>

namespace {

struct RouteNote {
    int route = MPX_ROUTE_NONE;
    char keys[2][2 * MPX_NAME_SIZE] = {};
    char change_type[MPX_NAME_SIZE] = {};
    char control_file[48] = {};
};

struct InspectState {
    TrnTraceHook trace{nullptr, nullptr};
    std::array<RouteNote, MPX_MAX_TRANSFORMATIONS> notes{}; // by table slot
};

InspectState g_inspect;

RouteNote *note_of(const mpx_transformation *t) noexcept {
    for (int slot = 0; slot < MPX_MAX_TRANSFORMATIONS; ++slot)
        if (t && trn_slot(slot) == t)
            return &g_inspect.notes[static_cast<std::size_t>(slot)];
    return nullptr;
}

// Copies as much of `text` as fits, always terminated; null copies nothing.
template <std::size_t N> void copy_text(char (&room)[N], const char *text) noexcept {
    room[0] = '\0';
    if (text)
        std::strncat(room, text, N - 1);
}

} // namespace

TrnTraceHook trn_trace_hook() noexcept { return g_inspect.trace; }

void trn_note_start(const mpx_transformation *t) noexcept {
    if (RouteNote *note = note_of(t))
        *note = RouteNote{};
}

void trn_note_route(const mpx_transformation *t, int route, const char *first_key,
                    const char *second_key) noexcept {
    RouteNote *note = note_of(t);
    if (!note)
        return;
    note->route = route;
    copy_text(note->keys[0], first_key);
    copy_text(note->keys[1], second_key);
}

void trn_note_change(const mpx_transformation *t, const char *change_type,
                     const char *control_file) noexcept {
    RouteNote *note = note_of(t);
    if (!note)
        return;
    copy_text(note->change_type, change_type);
    copy_text(note->control_file, control_file);
}

const char *trn_grid_route(const mpx_transformation *t) noexcept {
    const RouteNote *note = note_of(t);
    return note ? note->control_file : "";
}

extern "C" int mpx_install_trace(mpx_trace_fn hook, void *user) noexcept {
    g_inspect.trace = TrnTraceHook{hook, hook ? user : nullptr};
    return 0;
}

extern "C" int mpx_inq_trans_info(mpx_trans_info *info) noexcept {
    mpx_transformation *t = trn_current();
    if (!t) {
        mpx_combine_error(MPX_CLASS_PROGRAM, 3, "(mpx_inq_trans_info) no transformation defined");
        return -1;
    }
    if (!info)
        return -1;
    trn_settle(t);
    *info = mpx_trans_info{};
    info->record = *t;
    if (const RouteNote *note = note_of(t)) {
        info->route = note->route;
        copy_text(info->keys[0], note->keys[0]);
        copy_text(info->keys[1], note->keys[1]);
        copy_text(info->change_type, note->change_type);
        copy_text(info->control_file, note->control_file);
    }
    if (t->change_data && t->datum_change_type == MPX_DATUM_CHANGE_BURSA_WOLFE)
        info->bursa_wolfe = *static_cast<const mpx_bw_params *>(t->change_data);
    if (t->change_data && t->datum_change_type == MPX_DATUM_CHANGE_GRID)
        info->grid = *static_cast<const mpx_grid_change *>(t->change_data);
    return t->status;
}
