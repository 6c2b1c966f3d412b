// The local heap: memory the system allocates for a caller, which the caller
// releases with LocalFree (FormatMessage's allocate-buffer form, for one).
#pragma once

#include <cstddef>

#include "platform/win/types.h"

using HLOCAL = void*;

inline constexpr UINT LMEM_FIXED = 0x0000;
inline constexpr UINT LMEM_ZEROINIT = 0x0040;
inline constexpr UINT LPTR = LMEM_FIXED | LMEM_ZEROINIT;

// Fixed memory only; null with ERROR_NOT_ENOUGH_MEMORY when none is left.
HLOCAL LocalAlloc(UINT flags, std::size_t bytes);
// Returns null once the memory is released; null is accepted.
HLOCAL LocalFree(HLOCAL memory);
