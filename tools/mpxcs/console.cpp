#include "console.hpp"

#include "platform.hpp"

#include <mpxlib.h>

#include <cctype>
#include <cstdio>
#include <set>
#include <string_view>
#include <vector>

namespace mpxcs {
namespace {

// Inputs smaller than this convert in well under a second: no bar.
constexpr long long kProgressMinBytes = 8ll << 20;
constexpr int kProgressWidth = 40;
// How the library marks a notice among its coded lines.
constexpr std::string_view kWarningMark = "Warning - ";
// A chain longer than this is cut (a library in a loop cannot fill memory).
constexpr std::size_t kMaxChain = 64;

struct ConsoleState {
    const char *file_name = nullptr;
    long line = 0;
    bool quiet = false;
    bool verbose = false;
    unsigned long library_reports = 0;
    std::vector<std::string> chain;
    std::set<std::string> warned;
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

// Length of a chain code such as "S12:", or 0 when the line has none.
std::size_t code_length(std::string_view line) {
    if (line.size() < 3 || !std::isupper(static_cast<unsigned char>(line[0])))
        return 0;
    std::size_t pos = 1;
    while (pos < line.size() && std::isdigit(static_cast<unsigned char>(line[pos])))
        ++pos;
    return pos > 1 && pos < line.size() && line[pos] == ':' ? pos + 1 : 0;
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '!' || text.back() == '\n'))
        text.remove_suffix(1);
    return text;
}

extern "C" void library_message(const char *line) {
    ++state.library_reports;
    if (state.quiet)
        return;
    std::string_view text(line);
    std::size_t code = code_length(text);
    std::string_view body = trim(text.substr(code));
    if (code > 0 && body.substr(0, kWarningMark.size()) == kWarningMark) {
        console_warning(std::string(trim(body.substr(kWarningMark.size()))));
    } else if (code > 0) {
        if (state.chain.size() < kMaxChain)
            state.chain.emplace_back(text);
    } else if (!text.empty() && text.front() == ' ') {
        print_line(line + 1); // the continuation of a notice
    } else {
        console_warning(std::string(body));
    }
}

} // namespace

void console_install_handler() { mpx_install_error(library_message); }

void console_set_verbose(bool verbose) { state.verbose = verbose; }

void console_set_place(const char *file_name, long line) {
    state.file_name = file_name;
    state.line = line;
}

void console_set_quiet(bool quiet) { state.quiet = quiet; }

unsigned long console_library_reports() { return state.library_reports; }

namespace {

// One link of the chain without its code, routine name or subsystem tag.
std::string plain_link(std::string_view link) {
    std::string_view reason = trim(link.substr(code_length(link)));
    // "(mpx_transform) transformation error": the routine means nothing to
    // users.
    if (reason.substr(0, 1) == "(" && reason.find(") ") != std::string_view::npos)
        reason.remove_prefix(reason.find(") ") + 2);
    // Nor does the subsystem's tag ("GDB:opening the file").
    std::size_t tag = 0;
    while (tag < reason.size() && std::isupper(static_cast<unsigned char>(reason[tag])))
        ++tag;
    if (tag > 1 && tag < reason.size() && reason[tag] == ':')
        reason.remove_prefix(tag + 1);
    return std::string(reason);
}

} // namespace

std::string console_library_reason() {
    if (state.chain.empty())
        return {};
    std::string reason = plain_link(state.chain.front());
    // "grid file path of 80 characters or more:" is followed by the path.
    if (!reason.empty() && reason.back() == ':' && state.chain.size() > 1)
        reason.append(1, ' ').append(plain_link(state.chain[1]));
    return reason;
}

void console_error(const std::string &text) { print_line(text.c_str()); }

void console_failure(const std::string &what, const std::string &why) {
    std::string reason = why.empty() ? console_library_reason() : why;
    print_line((reason.empty() ? what : what + ": " + reason).c_str());
    if (state.verbose)
        for (const std::string &link : state.chain)
            print_line(("  library: " + link).c_str());
    state.chain.clear();
}

void console_clear_chain() { state.chain.clear(); }

void console_warning(const std::string &text) {
    if (!state.warned.insert(text).second)
        return;
    long line = state.line;
    state.line = 0; // a warning concerns the run, not one line
    print_line(("warning: " + text).c_str());
    state.line = line;
}

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
