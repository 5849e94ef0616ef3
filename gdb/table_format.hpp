// The text format of a database table: splitting a line into fields and
// reading one field as a value. Pure functions on caller-owned buffers.
#pragma once

#include <cstddef>

// Splits `line` in place into at most n fields. Between fields blanks and
// tabs are skipped and a comma is an empty field; a field ends at a comma,
// a newline or the end of the text and loses its trailing blanks. The n-th
// field runs unsplit to the end of the line, newline included. Returns the
// number of fields found; fields[found..n-1] point at an empty text.
int gdb_split_line(char *line, char **fields, int n) noexcept;

// Converts a field's text by type code: 'c' its first character, 'd' and
// 'l' a number read like atof and atol, 's' the text (cut to room - 1
// characters). Returns 0, or -1 for any other type code (not reported).
int gdb_convert_field(const char *text, int type, void *value, std::size_t room) noexcept;
