// Standard error of the converter: the library's messages and the
// converter's own, each prefixed with the input place they concern, and the
// progress bar that shares the terminal line with them.
#pragma once

#include <string>

namespace mpxcs {

// Installs the library's error handler; call before the first library call.
void console_install_handler();

// The input place that the next messages concern; line 0 means none.
void console_set_place(const char *file_name, long line);

// While quiet, the library's messages are counted but not printed (a batch
// that is about to be retried point by point).
void console_set_quiet(bool quiet);

// Messages reported by the library so far, printed or not.
unsigned long console_library_reports();

// One message of the converter itself, with the current place.
void console_error(const std::string &text);

// Progress of one input of known size; drawn only on a terminal.
void console_progress_start(long long total_bytes);
void console_progress_update(long long done_bytes);
void console_progress_finish();

} // namespace mpxcs
