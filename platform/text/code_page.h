// Conversions between 8-bit text and UTF-16. The system's ANSI code page is
// fixed to Windows-1252 (CDDB text arrives as ISO-8859-1 and drive names are
// ASCII); UTF-8 serves file names and terminal output. Thread-safe: the
// conversions keep no state; failures set the calling thread's last error.
#pragma once

#include <string>
#include <string_view>

#include "platform/win/types.h"

inline constexpr UINT CP_ACP = 0;         // the ANSI code page, Windows-1252
inline constexpr UINT CP_THREAD_ACP = 3;  // the same: there is one ANSI code page
inline constexpr UINT CP_UTF8 = 65001;

inline constexpr DWORD MB_PRECOMPOSED = 0x0001;
inline constexpr DWORD MB_COMPOSITE = 0x0002;
inline constexpr DWORD MB_USEGLYPHCHARS = 0x0004;
inline constexpr DWORD MB_ERR_INVALID_CHARS = 0x0008;

inline constexpr DWORD WC_DISCARDNS = 0x0010;
inline constexpr DWORD WC_SEPCHARS = 0x0020;
inline constexpr DWORD WC_DEFAULTCHAR = 0x0040;
inline constexpr DWORD WC_ERR_INVALID_CHARS = 0x0080;
inline constexpr DWORD WC_COMPOSITECHECK = 0x0200;
inline constexpr DWORD WC_NO_BEST_FIT_CHARS = 0x0400;

// 1252.
UINT GetACP();

// Converts `srcBytes` bytes of `src` (-1: up to and including its
// terminating zero) in `codePage` (CP_ACP, CP_THREAD_ACP, 1252 or CP_UTF8)
// into `dst` and returns the number of UTF-16 units written. With `dstChars`
// 0 it writes nothing and returns the number needed. Returns 0 and sets the
// last error on failure: ERROR_INSUFFICIENT_BUFFER when `dst` is too small
// (its contents are then unspecified), ERROR_NO_UNICODE_TRANSLATION for
// ill-formed UTF-8 with MB_ERR_INVALID_CHARS (without it, U+FFFD replaces
// it), ERROR_INVALID_FLAGS, or ERROR_INVALID_PARAMETER (unknown code page,
// null or empty input, overlapping buffers).
int MultiByteToWideChar(UINT codePage,
                        DWORD flags,
                        const char* src,
                        int srcBytes,
                        WCHAR* dst,
                        int dstChars);

// The reverse, with the same conventions. For Windows-1252 a unit without a
// byte becomes '?' or *defaultChar, and *usedDefault (when given) tells
// whether that happened; there is no best-fit mapping. For UTF-8 an unpaired
// surrogate becomes U+FFFD (or fails with WC_ERR_INVALID_CHARS), and
// `defaultChar` and `usedDefault` must be null.
int WideCharToMultiByte(UINT codePage,
                        DWORD flags,
                        const WCHAR* src,
                        int srcChars,
                        char* dst,
                        int dstBytes,
                        const char* defaultChar,
                        BOOL* usedDefault);

namespace vyn {

// Windows-1252 <-> UTF-16; characters without a byte become '?'.
std::u16string AnsiToWide(std::string_view text);
std::string WideToAnsi(std::u16string_view text);
// UTF-8 <-> UTF-16; ill-formed input becomes U+FFFD.
std::u16string Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::u16string_view text);

}  // namespace vyn
