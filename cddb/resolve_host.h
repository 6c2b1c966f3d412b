// Turns a server or proxy name into an IPv4 address: a dotted address as
// it stands, else the cached answer, else the name service (whose answer is
// then cached). Thread-safe.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "cddb/host_address_cache.h"
#include "platform/net/ipv4_address.h"

namespace vyn {

// The name service; tests pass their own.
using HostLookup = std::function<std::optional<Ipv4Address>(const std::string& name)>;

std::optional<Ipv4Address> ResolveHost(const std::string& name,
                                       HostAddressCache& cache,
                                       const HostLookup& lookup);

}  // namespace vyn
