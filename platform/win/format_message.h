// The system message table: a text for each system error code, in the form
// the desktop platform gives it (one English sentence ending in ".\r\n").
// Only the system table is served; message-definition strings and module
// tables are not. Thread-safe: the table is immutable.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/win/types.h"

inline constexpr DWORD FORMAT_MESSAGE_ALLOCATE_BUFFER = 0x00000100;
inline constexpr DWORD FORMAT_MESSAGE_IGNORE_INSERTS = 0x00000200;
inline constexpr DWORD FORMAT_MESSAGE_FROM_STRING = 0x00000400;
inline constexpr DWORD FORMAT_MESSAGE_FROM_HMODULE = 0x00000800;
inline constexpr DWORD FORMAT_MESSAGE_FROM_SYSTEM = 0x00001000;
inline constexpr DWORD FORMAT_MESSAGE_ARGUMENT_ARRAY = 0x00002000;
inline constexpr DWORD FORMAT_MESSAGE_MAX_WIDTH_MASK = 0x000000FF;

inline constexpr DWORD LANG_NEUTRAL = 0x0000;
inline constexpr DWORD LANG_USER_DEFAULT = 0x0400;

// Copies the system text for `messageId` into `buffer` (`size` characters,
// terminator included) and returns its length without the terminator. With
// FORMAT_MESSAGE_ALLOCATE_BUFFER, `buffer` is a char** that receives memory
// from LocalAlloc holding at least `size` characters; the caller frees it
// with LocalFree. Inserts are never expanded (the system texts have none).
// A Win32 HRESULT (facility 7) finds the text of its code. Failure returns 0
// and sets the last error: ERROR_MR_MID_NOT_FOUND for a code without a text,
// ERROR_RESOURCE_LANG_NOT_FOUND for a language other than 0 or 0x400,
// ERROR_INSUFFICIENT_BUFFER for too small a buffer, ERROR_INVALID_PARAMETER
// for a source other than the system table or a line width.
DWORD FormatMessageA(DWORD flags,
                     const void* source,
                     DWORD messageId,
                     DWORD languageId,
                     char* buffer,
                     DWORD size,
                     void* arguments);
// The same, with UTF-16 text; `buffer` is a WCHAR* (or WCHAR**).
DWORD FormatMessageW(DWORD flags,
                     const void* source,
                     DWORD messageId,
                     DWORD languageId,
                     WCHAR* buffer,
                     DWORD size,
                     void* arguments);

namespace vyn {

// The system text for `code`, ending in ".\r\n"; empty when the table has none.
std::optional<std::string_view> SystemMessageText(DWORD code);

// "ERROR_MEDIA_CHANGED", or the decimal number for a code the table does not
// name. For test output and logs.
std::string ErrorName(DWORD code);

}  // namespace vyn
