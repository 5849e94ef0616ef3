// Conversion between an attribute's field and a caller's value. There is
// deliberately no conversion between numeric types and none from text into a
// number: a caller that asks for the wrong type gets an error, not a guess.
#include "struct/struct_data_shift.hpp"

#include "frame/support.hpp"
#include "mpxlib.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr char kUnknownType[] = "STR:Unknown data type (struct_data_shift)";
constexpr char kTooLarge[] = "STR:result too large for the string";

// Formatting room for one number: "%.12lg" needs at most 19 characters
// (-1.23456789012e-308), "%ld" of a 32-bit integer at most 11.
constexpr std::size_t kScratchSize = 40;

int unknown_type() {
    mpx_combine_error(MPX_CLASS_PROGRAM, 0, kUnknownType);
    return -1;
}

// Bytes of a field of a numeric or character type; 0 for any other code.
std::size_t field_size(int type) {
    switch (type) {
    case MPX_TYPE_CHAR:
        return 1;
    case MPX_TYPE_LONG:
        return sizeof(std::int32_t);
    case MPX_TYPE_DOUBLE:
        return sizeof(double);
    default:
        return 0;
    }
}

int to_text(const void *from, char *to, int from_type, int to_size) {
    char scratch[kScratchSize];
    const char *text = scratch;
    switch (from_type) {
    case MPX_TYPE_CHAR: {
        char c;
        std::memcpy(&c, from, sizeof c);
        qfio_Sprintf(scratch, sizeof scratch, "%c", c);
        break;
    }
    case MPX_TYPE_DOUBLE: {
        double v;
        std::memcpy(&v, from, sizeof v);
        qfio_Sprintf(scratch, sizeof scratch, "%.12lg", v);
        break;
    }
    case MPX_TYPE_LONG: {
        std::int32_t v;
        std::memcpy(&v, from, sizeof v);
        qfio_Sprintf(scratch, sizeof scratch, "%ld", static_cast<long>(v));
        break;
    }
    case MPX_TYPE_STRING:
        text = static_cast<const char *>(from);
        break;
    default:
        return unknown_type();
    }
    const std::size_t length = std::strlen(text);
    if (to_size <= 0 || length >= static_cast<std::size_t>(to_size)) {
        mpx_combine_error(MPX_CLASS_SYSTEM, 0, kTooLarge);
        return -1;
    }
    std::memcpy(to, text, length + 1);
    return 0;
}

} // namespace

int struct_data_shift(const void *from, void *to, int from_type, int to_type,
                      int to_size) noexcept {
    if (to_type == 0 || !to)
        return 0;
    if (!from)
        return -1;
    if (to_type == MPX_TYPE_ANY)
        to_type = from_type;
    if (to_type == MPX_TYPE_STRING)
        return to_text(from, static_cast<char *>(to), from_type, to_size);
    const std::size_t size = field_size(to_type);
    if (size == 0 || from_type != to_type)
        return unknown_type();
    std::memcpy(to, from, size);
    return 0;
}
