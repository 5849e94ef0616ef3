// The one reporting channel: composes message lines and hands them to the
// host's handler.
#include "frame/error.hpp"

#include "mpxlib.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

constexpr int kSeverityOpen = 1;
constexpr int kSeverityContinue = 2;
constexpr int kSeverityClose = 3;
constexpr std::size_t kLineSize = 100;
constexpr std::size_t kPrefixSize = 3; // class letter, severity digit, ':'

enum class Convention { Direct, Forwarded };

struct ErrorState {
    mpx_error_handler handler = nullptr;
    Convention convention = Convention::Direct;
    int last_severity = kSeverityClose;
    char line[kLineSize] = {};
};

ErrorState g_error;

void deliver(const char *line) {
    if (g_error.convention == Convention::Forwarded)
        mpx_f_error(line, g_error.handler);
    else
        g_error.handler(line);
}

char class_letter(int class_code) {
    const bool known = class_code == MPX_CLASS_PROGRAM || class_code == MPX_CLASS_SYSTEM ||
                       class_code == MPX_CLASS_USER;
    return known ? static_cast<char>(class_code) : ' ';
}

} // namespace

extern "C" int mpx_install_error(mpx_error_handler handler) noexcept {
    g_error.handler = handler;
    g_error.convention = Convention::Direct;
    return 0;
}

extern "C" int mpx_install_error_f(mpx_error_handler handler) noexcept {
    g_error.handler = handler;
    g_error.convention = Convention::Forwarded;
    return 0;
}

// With the forwarding convention reports are composed but not shown: a
// binding for another language would call its handler from here.
extern "C" void mpx_f_error(const char *, mpx_error_handler) noexcept {}

extern "C" void mpx_combine_error(int class_code, int severity, const char *text) noexcept {
    if (!g_error.handler)
        return;
    int effective = severity;
    if (severity == 0)
        effective = g_error.last_severity == kSeverityClose ? kSeverityOpen : kSeverityContinue;
    g_error.last_severity = effective;

    char *line = g_error.line;
    line[0] = class_letter(class_code);
    line[1] = effective >= kSeverityOpen && effective <= kSeverityClose
                  ? static_cast<char>('0' + effective)
                  : ' ';
    line[2] = ':';
    // A host text longer than the line's 96 characters is cut, never overrun.
    const char *source = text ? text : "";
    const std::size_t room = kLineSize - kPrefixSize - 1;
    const std::size_t length = std::min(std::strlen(source), room);
    std::memcpy(line + kPrefixSize, source, length);
    line[kPrefixSize + length] = '\0';
    deliver(line);
}

void err_deliver_direct(const char *line) noexcept {
    if (g_error.handler && line)
        deliver(line);
}
