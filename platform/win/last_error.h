// The calling thread's last system error code, and the constants for every
// code the layer reports (from system_error_list.h). Functions of the layer
// that fail set the code; callers read it right after the failing call.
// Thread-safe: each thread has its own code, starting at ERROR_SUCCESS.
#pragma once

#include "platform/win/system_error_list.h"
#include "platform/win/types.h"

#define VYN_DECLARE_SYSTEM_ERROR(name, number, text) inline constexpr DWORD name = number;
VYN_SYSTEM_ERROR_LIST(VYN_DECLARE_SYSTEM_ERROR)
#undef VYN_DECLARE_SYSTEM_ERROR

DWORD GetLastError();
void SetLastError(DWORD code);

namespace vyn {

// The system error code that stands for a POSIX errno value, for the layer's
// own failures; a value with no closer match gives ERROR_GEN_FAILURE.
DWORD Win32ErrorFromErrno(int errno_value);

// SetLastError(Win32ErrorFromErrno(errno_value)).
void SetLastErrorFromErrno(int errno_value);

}  // namespace vyn
