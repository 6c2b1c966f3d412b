// The proxy that CDDB requests go through: the http_proxy environment
// variable, "host:port" with or without "http://". Unset or empty means a
// direct connection; a text that cannot be understood is shown to the user
// in a message box and the request goes direct.
//
// Thread-safe as long as nobody changes the environment meanwhile.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vyn {

inline constexpr char kHttpProxyVariable[] = "http_proxy";
// The port of a proxy text that names none.
inline constexpr std::uint16_t kDefaultProxyPort = 80;

enum class ProxyUse { kDirect, kNamedProxy };

struct ProxySetting {
  ProxyUse use = ProxyUse::kDirect;
  std::string host;
  std::uint16_t port = 0;
  friend bool operator==(const ProxySetting&, const ProxySetting&) = default;
};

// Parses a non-empty proxy text: the host is what comes before the first
// ":", the port the leading digits after it (0 when there are none, kept
// in 16 bits). Nothing when the text is malformed: another scheme than
// http, an empty host, or white space, "@" or control characters in it.
std::optional<ProxySetting> ParseProxyText(std::string_view text);

// Reads http_proxy. A malformed text shows the system's text for
// ERROR_INVALID_DATA in an OK message box with no owner and the default
// caption, and gives a direct connection.
ProxySetting ReadProxySetting();

}  // namespace vyn
