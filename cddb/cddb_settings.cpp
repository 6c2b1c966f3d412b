#include "cddb/cddb_settings.h"

#include <cstdlib>
#include <string_view>

namespace vyn {
namespace {

// Characters that would change the meaning of the request line or its
// query string.
bool IsSafeInRequest(std::string_view text) {
  for (unsigned char c : text) {
    if (c <= 0x20 || c == 0x7F || c == '%' || c == '&' || c == '+' || c == '?' || c == '#' ||
        c == '/' || c == '=')
      return false;
  }
  return !text.empty();
}

bool ParsePort(std::string_view digits, std::uint16_t& port) {
  if (digits.empty() || digits.size() > 5)
    return false;
  std::uint32_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9')
      return false;
    value = value * 10 + static_cast<std::uint32_t>(c - '0');
  }
  if (value == 0 || value > 65535)
    return false;
  port = static_cast<std::uint16_t>(value);
  return true;
}

}  // namespace

CddbSettings FixedCddbSettings() {
  CddbSettings settings;
  settings.server_host = "gnudb.gnudb.org";
  settings.server_port = 80;
  settings.cgi_path = "/~cddb/cddb.cgi";
  settings.contact_address = "tarnwell@nuvex.example";
  settings.agent_host = "www.nuvex.example";
  settings.timeout_seconds = 20;
  return settings;
}

CddbSettings ApplyCddbOverrides(CddbSettings settings, const char* server, const char* email) {
  if (server && *server) {
    const std::string_view text(server);
    const std::size_t colon = text.find(':');
    const std::string_view host = text.substr(0, colon);
    std::uint16_t port = 80;
    if (IsSafeInRequest(host) &&
        (colon == std::string_view::npos || ParsePort(text.substr(colon + 1), port))) {
      settings.server_host = std::string(host);
      settings.server_port = port;
    }
  }
  if (email && *email) {
    const std::string_view text(email);
    const std::size_t at = text.find('@');
    if (at != std::string_view::npos && IsSafeInRequest(text.substr(0, at)) &&
        IsSafeInRequest(text.substr(at + 1)) && text.find('@', at + 1) == std::string_view::npos)
      settings.contact_address = std::string(text);
  }
  return settings;
}

CddbSettings CddbSettingsFromEnvironment() {
  return ApplyCddbOverrides(FixedCddbSettings(), std::getenv(kCddbServerVariable),
                            std::getenv(kCddbEmailVariable));
}

}  // namespace vyn
