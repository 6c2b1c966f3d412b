// Where the CDDB client connects and how it introduces itself. The values
// are fixed in the control; a user (never the host) may name another server
// or a registered contact address in the environment, because the public
// server refuses clients whose hello it does not know.
//
// A value type; the functions are thread-safe as long as nobody changes the
// environment meanwhile.
#pragma once

#include <cstdint>
#include <string>

namespace vyn {

inline constexpr char kCddbServerVariable[] = "VYN_CDDB_SERVER";  // host or host:port
inline constexpr char kCddbEmailVariable[] = "VYN_CDDB_EMAIL";    // user@domain

struct CddbSettings {
  std::string server_host;
  std::uint16_t server_port = 80;
  std::string cgi_path;
  // user@domain; the hello sends the two parts as separate fields.
  std::string contact_address;
  // The maker's web host, named in the User-Agent header.
  std::string agent_host;
  // Time allowed for the connection step.
  int timeout_seconds = 20;
};

CddbSettings FixedCddbSettings();
// The fixed values with the overrides applied; an override that is not
// well-formed (a bad port, an address without both parts, characters that
// would break the request) is ignored. Null: not set.
CddbSettings ApplyCddbOverrides(CddbSettings settings, const char* server, const char* email);
// The fixed values with the overrides from the environment.
CddbSettings CddbSettingsFromEnvironment();

}  // namespace vyn
