// Registry internals shared by the files of proj/ only.
#pragma once

#include "mpxlib.h"

// Message texts reported by more than one file of the registry.
inline constexpr const char kMsgTooManyProjections[] = "Too many base projections";
inline constexpr const char kMsgBaseNotFound[] = "Base projection not found";
inline constexpr const char kMsgMemoryShortage[] = "memory shortage";

// Takes the next ordinary entry (the count grows by one) and returns its
// index, or -1 when all 50 are taken. Reports nothing.
int proj_reserve_entry() noexcept;

// The "Affine" descriptor handed over by the library initialisation, or
// null before it.
struct_desc *proj_affine_descriptor() noexcept;

// True on the first call in the process only: the change notice warns once.
bool proj_first_notice() noexcept;
