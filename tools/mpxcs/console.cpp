#include "console.hpp"

#include "platform.hpp"

#include <mpxlib.h>

#include <cstdio>

namespace mpxcs {
namespace {

// Inputs smaller than this convert in well under a second: no bar.
constexpr long long kProgressMinBytes = 8ll << 20;
constexpr int kProgressWidth = 40;

struct ConsoleState {
    const char *file_name = nullptr;
    long line = 0;
    bool quiet = false;
    unsigned long library_reports = 0;
    bool progress_active = false;
    bool progress_drawn = false;
    long long progress_total = 0;
    int progress_percent = -1;
};

ConsoleState state;

// Clears the bar's line so that a message starts at the left margin; the
// next update redraws the bar below the message.
void clear_progress_line() {
    if (!state.progress_drawn)
        return;
    std::fprintf(stderr, "\r%*s\r", kProgressWidth + 16, "");
    state.progress_drawn = false;
    state.progress_percent = -1;
}

void print_line(const char *text) {
    clear_progress_line();
    if (state.line > 0)
        std::fprintf(stderr, "mpxcs: %s:%ld: %s\n", state.file_name ? state.file_name : "-",
                     state.line, text);
    else
        std::fprintf(stderr, "mpxcs: %s\n", text);
}

extern "C" void library_message(const char *line) {
    ++state.library_reports;
    if (!state.quiet)
        print_line(line);
}

} // namespace

void console_install_handler() { mpx_install_error(library_message); }

void console_set_place(const char *file_name, long line) {
    state.file_name = file_name;
    state.line = line;
}

void console_set_quiet(bool quiet) { state.quiet = quiet; }

unsigned long console_library_reports() { return state.library_reports; }

void console_error(const std::string &text) { print_line(text.c_str()); }

void console_progress_start(long long total_bytes) {
    state.progress_active = total_bytes >= kProgressMinBytes && stderr_is_terminal();
    state.progress_total = total_bytes;
    state.progress_percent = -1;
}

void console_progress_update(long long done_bytes) {
    if (!state.progress_active)
        return;
    int percent = static_cast<int>(done_bytes * 100 / state.progress_total);
    if (percent == state.progress_percent)
        return;
    state.progress_percent = percent;
    int filled = percent * kProgressWidth / 100;
    char bar[kProgressWidth + 1];
    for (int i = 0; i < kProgressWidth; ++i)
        bar[i] = i < filled ? '=' : ' ';
    bar[kProgressWidth] = '\0';
    std::fprintf(stderr, "\rmpxcs: [%s] %3d%%", bar, percent);
    std::fflush(stderr);
    state.progress_drawn = true;
}

void console_progress_finish() {
    clear_progress_line();
    state.progress_active = false;
}

} // namespace mpxcs
