#include "cddb/host_address_cache.h"

namespace vyn {

HostAddressCache& HostAddressCache::Process() {
  static HostAddressCache* const cache = new HostAddressCache;
  return *cache;
}

std::optional<std::string> HostAddressCache::Find(const std::string& name) const {
  std::lock_guard lock(mutex_);
  auto found = entries_.find(name);
  if (found == entries_.end())
    return std::nullopt;
  return found->second;
}

void HostAddressCache::Store(const std::string& name, std::string dotted) {
  std::lock_guard lock(mutex_);
  entries_[name] = std::move(dotted);
}

}  // namespace vyn
