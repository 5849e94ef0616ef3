// Internal operations of the structure descriptors, shared with the database
// loader and the white-box tests.
#pragma once

// Room for an attribute name and its terminator. struct_add refuses longer
// names, so an iteration can always write the name it found into a buffer of
// this size.
constexpr int kStructNameRoom = 40;

// The one conversion behind struct_inq (field to caller) and struct_mod
// (caller to field): a plain copy between equal types 'c', 'd', 'l', or any
// type into text of at most to_size - 1 characters. Nothing is done (0) when
// to_type is 0 or `to` is null. Returns 0, or -1 (reported, `to` untouched).
int struct_data_shift(const void *from, void *to, int from_type, int to_type, int to_size) noexcept;
