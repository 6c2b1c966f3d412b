// Windows-1252, the fixed ANSI code page: a single-byte code page that is
// ISO-8859-1 except for 0x80-0x9F, where it holds typographic characters.
// Its five unassigned bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1
// control characters of the same number, so every byte round-trips.
// Internal to platform/text; callers use code_page.h.
#pragma once

#include <array>
#include <string_view>

#include "platform/text/transcode.h"

namespace vyn::text {

// The characters of bytes 0x80-0x9F; every other byte is its own code point.
inline constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

inline char16_t Windows1252ToUnicode(unsigned char byte) {
  return (byte & 0xE0) == 0x80 ? kWindows1252High[byte - 0x80] : char16_t{byte};
}

// The byte for a UTF-16 unit, or -1 when the code page has none.
int Windows1252FromUnicode(char16_t unit);

Transcoded Windows1252ToUtf16(std::string_view src, char16_t* dst, std::size_t capacity);
// Units without a byte become `defaultChar` and set `replaced`. A surrogate
// pair gives one default character per unit.
Transcoded Utf16ToWindows1252(std::u16string_view src,
                              char* dst,
                              std::size_t capacity,
                              char defaultChar);

}  // namespace vyn::text
