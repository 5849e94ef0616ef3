// Internal side of error reporting.
#pragma once

// Hands a plain line (no class letter, severity digit or colon) straight to
// the installed handler, leaving the severity chain alone. Does nothing when
// no handler is installed. Used for the few direct lines, such as
// "Inconsistent datum/projection pair".
void err_deliver_direct(const char *line) noexcept;
