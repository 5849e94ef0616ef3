// Console diagnostics of the registry: the print of one projection call and
// the notice written when a projection parameter is changed by name.
#include "frame/support.hpp"
#include "proj/registry.hpp"
#include "proj/registry_private.hpp"

#include <cstdint>
#include <cstring>

namespace {

const char *text_or_empty(const char *text) { return text ? text : ""; }

} // namespace

extern "C" int mpx_proj_debug(const char *keyword, const char *label, void *params, double x,
                              double y, double lon, double lat, long status) noexcept {
    qfio_Printf("\n -----------------------------------------");
    qfio_Printf("\n Projection routine = %s %s", text_or_empty(keyword), text_or_empty(label));
    qfio_Printf("\n      lon = %15.10lf       lat = %15.10lf", lon, lat);
    qfio_Printf("\n        x = %15.4lf         y = %15.4lf", x, y);
    qfio_Printf("\n   status = %ld", status);
    const mpx_proj_entry *entry = proj_entry(proj_find(keyword));
    if (!entry) {
        qfio_Printf("\n %s", kMsgBaseNotFound);
        return -1;
    }
    struct_dump(entry->descriptor, params);
    return 0;
}

int proj_mod_notice(const char *proj_name, const char *attribute, int type,
                    const void *value) noexcept {
    if (proj_first_notice())
        mpx_combine_error(MPX_CLASS_USER, 0, " Warning - projection parameters being modified !");
    std::FILE *log = qfio_Stdout();
    qfio_Fprintf(log, "\n PROJECTION MODIFICATION on %s", text_or_empty(proj_name));
    qfio_Fprintf(log, "\n attribute =  %s", text_or_empty(attribute));
    if (!value)
        return 0;
    // The value may sit anywhere in the caller's memory: copy, never cast.
    if (type == MPX_TYPE_DOUBLE) {
        double d;
        std::memcpy(&d, value, sizeof d);
        qfio_Fprintf(log, " = %20.12lf", d);
    } else if (type == MPX_TYPE_LONG) {
        std::int32_t l;
        std::memcpy(&l, value, sizeof l);
        qfio_Fprintf(log, " = %ld", static_cast<long>(l));
    }
    return 0;
}
