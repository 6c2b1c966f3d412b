// Loadable modules. Module names of the desktop form ("wnaspi32.dll") map
// to shared-object names ("libwnaspi32.so"); a name without a folder is
// found through the dynamic loader's search path, a path is loaded as is.
//
// The "system directory" is the folder this platform library was installed
// in, the "Windows directory" its `vyn` subfolder; VYN_SYSTEM_DIR and
// VYN_WINDOWS_DIR override them (tests point them at their own folders).
//
// Thread-safe.
#pragma once

#include <string>
#include <string_view>

#include "platform/win/types.h"

using HMODULE = void*;
using FARPROC = void (*)();

inline constexpr UINT MAX_PATH = 260;

// Null with ERROR_MOD_NOT_FOUND when the module cannot be loaded.
HMODULE LoadLibraryA(const char* name);
// Null with ERROR_PROC_NOT_FOUND when the module has no such export.
FARPROC GetProcAddress(HMODULE module, const char* name);
BOOL FreeLibrary(HMODULE module);
// The module's file path; 0 with ERROR_INSUFFICIENT_BUFFER when it does not
// fit (the text is then truncated and terminated).
DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD size);

// Both return the length written (without the terminator), or the size
// needed (with it) when `size` is too small, or 0 on failure.
UINT GetSystemDirectoryA(char* buffer, UINT size);
UINT GetWindowsDirectoryA(char* buffer, UINT size);

namespace vyn {

// "wnaspi32.dll" → "libwnaspi32.so"; "/x/y/foo.dll" → "/x/y/libfoo.so";
// other names unchanged. Backslashes become slashes.
std::string SharedObjectName(std::string_view module_name);

// The module that holds `address` (a function or object of it), or null.
HMODULE ModuleContaining(const void* address);

}  // namespace vyn
