#include "platform/net/ipv4_address.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace vyn {

std::optional<Ipv4Address> ParseDottedIpv4(std::string_view text) {
  const std::string terminated(text);
  in_addr address{};
  if (terminated.size() != text.size() || inet_pton(AF_INET, terminated.c_str(), &address) != 1)
    return std::nullopt;
  return Ipv4Address{ntohl(address.s_addr)};
}

std::string FormatDottedIpv4(Ipv4Address address) {
  const std::uint32_t v = address.value;
  return std::to_string(v >> 24) + "." + std::to_string((v >> 16) & 0xFF) + "." +
         std::to_string((v >> 8) & 0xFF) + "." + std::to_string(v & 0xFF);
}

std::optional<Ipv4Address> LookUpHostIpv4(const std::string& name) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || !found)
    return std::nullopt;
  std::optional<Ipv4Address> result;
  for (const addrinfo* entry = found; entry; entry = entry->ai_next) {
    if (entry->ai_family == AF_INET && entry->ai_addr) {
      const auto* in = reinterpret_cast<const sockaddr_in*>(entry->ai_addr);
      result = Ipv4Address{ntohl(in->sin_addr.s_addr)};
      break;
    }
  }
  freeaddrinfo(found);
  return result;
}

}  // namespace vyn
