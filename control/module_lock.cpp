#include "control/module_lock.h"

#include <atomic>

namespace vyn {
namespace {
std::atomic<long> g_lock_count{0};
}

long ModuleLockCount() {
  return g_lock_count.load();
}
void LockModule() {
  g_lock_count.fetch_add(1);
}
void UnlockModule() {
  g_lock_count.fetch_sub(1);
}

}  // namespace vyn
