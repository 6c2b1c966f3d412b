// The fixed-width scalar types of the platform's C interfaces. Sizes follow
// the 64-bit data model the rest of the system expects: 32-bit LONG and
// DWORD, pointer-sized WPARAM/LPARAM/LRESULT.
#pragma once

#include <cstddef>
#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = std::uint32_t;
using ULONG = std::uint32_t;
using LONG = std::int32_t;
using INT = std::int32_t;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using BOOL = std::int32_t;
using HRESULT = std::int32_t;
using SCODE = std::int32_t;
using LCID = std::uint32_t;
using DISPID = std::int32_t;
using WCHAR = char16_t;
using OLECHAR = char16_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using ULONG_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

inline constexpr LCID LOCALE_USER_DEFAULT = 0x400;
