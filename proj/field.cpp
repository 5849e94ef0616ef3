// Field projections: a base projection behind an affine map of the map
// coordinates (rotation, scale and shift of a local grid). One registry
// entry "field_<keyword>" per base projection, made on first need; its
// record carries the base projection's whole record inside.
#include "frame/support.hpp"
#include "proj/registry.hpp"
#include "proj/registry_private.hpp"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

// The head of a field record; the base projection's record follows it.
struct FieldHeader {
    double a0, a1, a2, b0, b1, b2; // map (x, y) to base (X, Y)
    double c0, c1, c2, d0, d1, d2; // base to map, derived by init
    std::int32_t base_index;
};

constexpr int kFieldRecordSize = 1100;
// The base record starts behind the header's padding so that its doubles
// stay 8-byte aligned; that leaves 996 of the nominal 1000 bytes for it.
constexpr std::size_t kBaseOffset = sizeof(FieldHeader);
constexpr int kBaseCapacity = kFieldRecordSize - static_cast<int>(kBaseOffset);
static_assert(kBaseOffset % alignof(double) == 0);
static_assert(kBaseCapacity > 0);

constexpr char kFieldPrefix[] = "field_";
constexpr char kMsgBadStructure[] = "Bad structure formation";
constexpr char kMsgBaseTooLarge[] = "Base projection record too large for a field projection";

// init's status for an affine map without inverse (a1 b2 - a2 b1 = 0):
// such a grid cannot be used, so the system is refused at creation rather
// than producing infinities at every point.
constexpr int kSingularAffine = 2;
// Status when the record names no installed base projection.
constexpr int kNoBase = -1;

FieldHeader &header_of(void *params) { return *static_cast<FieldHeader *>(params); }

void *base_record_of(void *params) { return static_cast<unsigned char *>(params) + kBaseOffset; }

const mpx_proj_entry *base_entry_of(const FieldHeader &h) {
    const mpx_proj_entry *entry = proj_entry(h.base_index);
    return entry && entry->init && entry->forward && entry->backward ? entry : nullptr;
}

int field_init(void *params) noexcept {
    FieldHeader &h = header_of(params);
    const double det = h.a1 * h.b2 - h.a2 * h.b1;
    if (!(std::fabs(det) > 0.0) || !std::isfinite(det))
        return kSingularAffine;
    h.c1 = h.b2 / det;
    h.c2 = -h.a2 / det;
    h.d1 = -h.b1 / det;
    h.d2 = h.a1 / det;
    h.c0 = -(h.c1 * h.a0 + h.c2 * h.b0);
    h.d0 = -(h.d1 * h.a0 + h.d2 * h.b0);
    const mpx_proj_entry *base = base_entry_of(h);
    return base ? base->init(base_record_of(params)) : kNoBase;
}

int field_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    const FieldHeader &h = header_of(params);
    const mpx_proj_entry *base = base_entry_of(h);
    if (!base)
        return kNoBase;
    double bx = 0.0;
    double by = 0.0;
    const int status = base->forward(base_record_of(params), lon, lat, &bx, &by);
    // Written whatever the base status, like the base routine's own outputs.
    *x = h.c0 + h.c1 * bx + h.c2 * by;
    *y = h.d0 + h.d1 * bx + h.d2 * by;
    return status;
}

int field_backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    const FieldHeader &h = header_of(params);
    const mpx_proj_entry *base = base_entry_of(h);
    if (!base)
        return kNoBase;
    const double bx = h.a0 + h.a1 * x + h.a2 * y;
    const double by = h.b0 + h.b1 * x + h.b2 * y;
    return base->backward(base_record_of(params), bx, by, lon, lat);
}

bool base_fits(const mpx_proj_entry &base) {
    if (base.param_size <= kBaseCapacity)
        return true;
    mpx_combine_error(MPX_CLASS_SYSTEM, 0, kMsgBaseTooLarge);
    return false;
}

bool describable(const mpx_proj_entry &base) {
    const struct_desc *affine = proj_affine_descriptor();
    if (affine && base.descriptor &&
        affine->count + base.descriptor->count < MPX_STRUCT_MAX_ATTRIBUTES)
        return true;
    mpx_combine_error(MPX_CLASS_SYSTEM, 0, kMsgBadStructure);
    return false;
}

// The existing field entry of a base keyword, found without building its
// name: a lookup must not allocate.
int find_field_entry(const char *base_keyword) {
    const std::size_t prefix = sizeof kFieldPrefix - 1;
    for (int i = 0; i < proj_count(); ++i) {
        const struct_desc *d = proj_entry(i)->descriptor;
        if (d && d->name && std::strncmp(d->name, kFieldPrefix, prefix) == 0 &&
            std::strcmp(d->name + prefix, base_keyword) == 0)
            return i;
    }
    return -1;
}

// Heap copy of "field_" + keyword; it names the entry for good.
char *field_keyword(const char *base_keyword) {
    const std::size_t prefix = sizeof kFieldPrefix - 1;
    const std::size_t length = std::strlen(base_keyword);
    auto *copy = static_cast<char *>(qmsc_HeapMalloc(prefix + length + 1));
    if (copy) {
        std::memcpy(copy, kFieldPrefix, prefix);
        std::memcpy(copy + prefix, base_keyword, length + 1);
    }
    return copy;
}

} // namespace

int proj_field_entry(const char *base_keyword) noexcept {
    const int base_index = proj_find(base_keyword);
    if (base_index < 0) {
        mpx_combine_error(MPX_CLASS_SYSTEM, 0, kMsgBaseNotFound);
        return -1;
    }
    const int existing = find_field_entry(base_keyword);
    if (existing >= 0)
        return existing;
    if (proj_count() >= MPX_MAX_PROJECTIONS) {
        mpx_combine_error(MPX_CLASS_SYSTEM, 0, kMsgTooManyProjections);
        return -1;
    }
    // Checked before anything is counted: a base record that does not fit,
    // or more attributes than one descriptor holds, can never succeed.
    const mpx_proj_entry base = *proj_entry(base_index);
    if (!base_fits(base) || !describable(base))
        return -1;
    // From here a failure leaves the entry counted without a descriptor.
    const int index = proj_reserve_entry();
    char *keyword = field_keyword(base_keyword);
    if (!keyword) {
        mpx_combine_error(MPX_CLASS_SYSTEM, 0, kMsgMemoryShortage);
        return -1;
    }
    FieldHeader image{};
    if (struct_begin(keyword, &image) != 0) {
        qmsc_HeapFree(keyword);
        mpx_combine_error(MPX_CLASS_SYSTEM, 0, kMsgBadStructure);
        return -1;
    }
    struct_add_struct(proj_affine_descriptor(), &image.a0);
    struct_add_struct(base.descriptor, reinterpret_cast<unsigned char *>(&image) + kBaseOffset);
    struct_desc *descriptor = struct_end();
    if (!descriptor) { // the definition left open still names the keyword
        mpx_combine_error(MPX_CLASS_SYSTEM, 0, kMsgBadStructure);
        return -1;
    }
    *proj_entry(index) = {
        descriptor, field_init, field_forward, field_backward, base.mode, kFieldRecordSize, -1, -1};
    return index;
}

void *proj_field_params(int field_index, int base_index, const double affine[6],
                        const void *base_params) noexcept {
    const mpx_proj_entry *field = proj_entry(field_index);
    const mpx_proj_entry *base = proj_entry(base_index);
    if (!field || !base || !affine || (!base_params && base->param_size > 0)) {
        mpx_combine_error(MPX_CLASS_SYSTEM, 0, kMsgBaseNotFound);
        return nullptr;
    }
    if (!base_fits(*base))
        return nullptr;
    const auto size = static_cast<std::size_t>(field->param_size);
    void *params = qmsc_HeapMalloc(size);
    if (!params) {
        mpx_combine_error(MPX_CLASS_SYSTEM, 0, kMsgMemoryShortage);
        return nullptr;
    }
    std::memset(params, 0, size);
    FieldHeader &h = header_of(params);
    h.a0 = affine[0];
    h.a1 = affine[1];
    h.a2 = affine[2];
    h.b0 = affine[3];
    h.b1 = affine[4];
    h.b2 = affine[5];
    h.base_index = base_index;
    if (base->param_size > 0)
        std::memcpy(base_record_of(params), base_params,
                    static_cast<std::size_t>(base->param_size));
    return params;
}
