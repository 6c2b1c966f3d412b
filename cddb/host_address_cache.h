// The process-wide memory of resolved server names: name -> dotted IPv4
// text, first answer kept, never evicted, so a name goes to the name
// service once per process.
//
// Thread-safe: connection steps of several drives or controls use it at
// once; the lock is never held while a name is being looked up.
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace vyn {

class HostAddressCache {
 public:
  // The process's cache. It is never destroyed, because a connection step
  // that was given up may still use it while the process exits.
  static HostAddressCache& Process();

  std::optional<std::string> Find(const std::string& name) const;
  // Stores `dotted` under `name`, replacing an older entry.
  void Store(const std::string& name, std::string dotted);

 private:
  mutable std::mutex mutex_;
  std::map<std::string, std::string> entries_;  // guarded by mutex_
};

}  // namespace vyn
