// HRESULT values and helpers. The values come from one list
// (hresult_list.h) so that constants and their printable names never drift.
#pragma once

#include <string>

#include "platform/com/hresult_list.h"
#include "platform/win/types.h"

#define VYN_DECLARE_HRESULT(name, value) \
  inline constexpr HRESULT name = static_cast<HRESULT>(static_cast<std::uint32_t>(value));
VYN_HRESULT_LIST(VYN_DECLARE_HRESULT)
#undef VYN_DECLARE_HRESULT

inline constexpr bool SUCCEEDED(HRESULT hr) {
  return hr >= 0;
}
inline constexpr bool FAILED(HRESULT hr) {
  return hr < 0;
}

inline constexpr int FACILITY_WIN32 = 7;

// Maps a system error code (GetLastError numbering) to an HRESULT of
// facility Win32; 0 stays S_OK and values that already look like an
// HRESULT pass through unchanged.
inline constexpr HRESULT HRESULT_FROM_WIN32(DWORD code) {
  return static_cast<HRESULT>(code) <= 0
             ? static_cast<HRESULT>(code)
             : static_cast<HRESULT>((code & 0x0000FFFFu) | (FACILITY_WIN32 << 16) | 0x80000000u);
}

inline constexpr int HRESULT_FACILITY(HRESULT hr) {
  return (static_cast<std::uint32_t>(hr) >> 16) & 0x1FFF;
}
inline constexpr int HRESULT_CODE(HRESULT hr) {
  return static_cast<std::uint32_t>(hr) & 0xFFFF;
}

// "E_POINTER", or "0x80070002" for a value the list does not name.
std::string HResultName(HRESULT hr);
