// GUID with the registry text form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
// Immutable value type; thread-safe.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "platform/win/types.h"

struct GUID {
  std::uint32_t Data1 = 0;
  std::uint16_t Data2 = 0;
  std::uint16_t Data3 = 0;
  std::array<std::uint8_t, 8> Data4{};

  friend constexpr bool operator==(const GUID&, const GUID&) = default;

  // Parses "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX", with or without braces,
  // hex digits in either case. Nothing else is accepted.
  static constexpr std::optional<GUID> Parse(std::string_view text);

  // Upper-case registry form with braces.
  std::string ToString() const;
  std::u16string ToWide() const;
};

using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;
using REFGUID = const GUID&;

inline constexpr GUID GUID_NULL{};
inline constexpr IID IID_NULL{};

namespace vyn::detail {
constexpr int HexValue(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}
}  // namespace vyn::detail

constexpr std::optional<GUID> GUID::Parse(std::string_view text) {
  if (text.size() == 38) {
    if (text.front() != '{' || text.back() != '}')
      return std::nullopt;
    text = text.substr(1, 36);
  }
  if (text.size() != 36)
    return std::nullopt;
  std::array<std::uint8_t, 16> bytes{};
  std::size_t byte = 0;
  for (std::size_t i = 0; i < text.size();) {
    if (i == 8 || i == 13 || i == 18 || i == 23) {
      if (text[i] != '-')
        return std::nullopt;
      ++i;
      continue;
    }
    int hi = vyn::detail::HexValue(text[i]);
    int lo = vyn::detail::HexValue(text[i + 1]);
    if (hi < 0 || lo < 0)
      return std::nullopt;
    bytes[byte++] = static_cast<std::uint8_t>(hi * 16 + lo);
    i += 2;
  }
  GUID guid;
  guid.Data1 = (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
               (std::uint32_t{bytes[2]} << 8) | bytes[3];
  guid.Data2 = static_cast<std::uint16_t>((bytes[4] << 8) | bytes[5]);
  guid.Data3 = static_cast<std::uint16_t>((bytes[6] << 8) | bytes[7]);
  for (std::size_t i = 0; i < 8; ++i)
    guid.Data4[i] = bytes[8 + i];
  return guid;
}

// A GUID from a literal checked at compile time:
//   inline constexpr IID IID_IFoo = MakeGuid("00000000-0000-0000-C000-000000000046");
consteval GUID MakeGuid(std::string_view text) {
  auto parsed = GUID::Parse(text);
  if (!parsed)
    throw "malformed GUID literal";
  return *parsed;
}
