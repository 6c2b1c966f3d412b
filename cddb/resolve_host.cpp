#include "cddb/resolve_host.h"

namespace vyn {

std::optional<Ipv4Address> ResolveHost(const std::string& name,
                                       HostAddressCache& cache,
                                       const HostLookup& lookup) {
  if (auto address = ParseDottedIpv4(name))
    return address;
  if (auto cached = cache.Find(name)) {
    if (auto address = ParseDottedIpv4(*cached))
      return address;
  }
  auto address = lookup(name);
  if (address)
    cache.Store(name, FormatDottedIpv4(*address));
  return address;
}

}  // namespace vyn
