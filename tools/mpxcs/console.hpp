// Standard error of the converter: the library's messages and the
// converter's own, each prefixed with the input place they concern, and the
// progress bar that shares the terminal line with them.
//
// The library reports a failure as a chain of coded lines ("U1:Datum not
// found", "S3:(mpx_crelock_coord_sys) database load error"), innermost
// first. Users see one line saying what failed and why; the chain is kept
// and shown under --verbose. Uncoded lines and coded "Warning - " lines are
// warnings: printed once each, prefixed "warning:".
#pragma once

#include <string>

namespace mpxcs {

// Installs the library's error handler; call before the first library call.
void console_install_handler();

// --verbose: every failure is followed by the library's chain.
void console_set_verbose(bool verbose);

// The input place that the next messages concern; line 0 means none.
void console_set_place(const char *file_name, long line);

// While quiet, the library's messages are counted and dropped (a batch
// that is about to be retried point by point).
void console_set_quiet(bool quiet);

// Messages reported by the library so far, printed or not.
unsigned long console_library_reports();

// The reason of the library's last failure: the innermost line of the chain
// kept since the last failure report, without its code; empty when none.
std::string console_library_reason();

// One message of the converter itself, with the current place.
void console_error(const std::string &text);

// One failure: "what: why", where why is the library's reason unless
// given; under --verbose the library's chain follows. The chain is cleared.
void console_failure(const std::string &what, const std::string &why = {});

// Drops the library's chain kept so far.
void console_clear_chain();

// A warning of the converter, printed once per text.
void console_warning(const std::string &text);

// Progress of one input of known size; drawn only on a terminal.
void console_progress_start(long long total_bytes);
void console_progress_update(long long done_bytes);
void console_progress_finish();

} // namespace mpxcs
