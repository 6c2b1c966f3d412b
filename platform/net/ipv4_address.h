// An IPv4 address, its dotted text form and the system's name service.
// Thread-safe: the functions keep no state.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vyn {

struct Ipv4Address {
  std::uint32_t value = 0;  // host byte order: 127.0.0.1 is 0x7F000001
  friend bool operator==(const Ipv4Address&, const Ipv4Address&) = default;
};

inline constexpr Ipv4Address kLoopbackAddress{0x7F000001};

// The address written as four decimal numbers separated by dots, or
// nothing when `text` is not exactly that.
std::optional<Ipv4Address> ParseDottedIpv4(std::string_view text);
std::string FormatDottedIpv4(Ipv4Address address);

// Asks the system's name service for the first IPv4 address of `name`.
// Blocks for as long as the service takes; safe on any thread.
std::optional<Ipv4Address> LookUpHostIpv4(const std::string& name);

}  // namespace vyn
