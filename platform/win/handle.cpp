#include "platform/win/handle.h"

#include <mutex>
#include <shared_mutex>
#include <unordered_map>

#include "platform/win/last_error.h"

namespace vyn {
namespace {

// Handle values count up in steps of four and are never reused, so a stale
// handle cannot reach a newer object. Never destroyed: threads may close
// handles while the process exits.
class HandleTable {
 public:
  HANDLE Insert(std::shared_ptr<KernelObject> object) {
    std::unique_lock lock(mutex_);
    next_ += 4;
    objects_.emplace(next_, std::move(object));
    return reinterpret_cast<HANDLE>(next_);
  }
  std::shared_ptr<KernelObject> Find(HANDLE handle) {
    std::shared_lock lock(mutex_);
    auto found = objects_.find(reinterpret_cast<std::uintptr_t>(handle));
    return found == objects_.end() ? nullptr : found->second;
  }
  std::shared_ptr<KernelObject> Remove(HANDLE handle) {
    std::unique_lock lock(mutex_);
    auto found = objects_.find(reinterpret_cast<std::uintptr_t>(handle));
    if (found == objects_.end())
      return nullptr;
    auto object = std::move(found->second);
    objects_.erase(found);
    return object;
  }

 private:
  std::shared_mutex mutex_;
  std::uintptr_t next_ = 0;                                                    // guarded by mutex_
  std::unordered_map<std::uintptr_t, std::shared_ptr<KernelObject>> objects_;  // guarded by mutex_
};

HandleTable& Table() {
  static auto* table = new HandleTable;
  return *table;
}

}  // namespace

HANDLE OpenHandle(std::shared_ptr<KernelObject> object) {
  if (!object)
    return nullptr;
  return Table().Insert(std::move(object));
}

std::shared_ptr<KernelObject> ObjectFromHandle(HANDLE handle) {
  auto object = Table().Find(handle);
  if (!object)
    SetLastError(ERROR_INVALID_HANDLE);
  return object;
}

void UniqueHandle::Reset(HANDLE handle) {
  HANDLE old = std::exchange(handle_, handle);
  if (old && old != INVALID_HANDLE_VALUE)
    CloseHandle(old);
}

}  // namespace vyn

BOOL CloseHandle(HANDLE handle) {
  // The object is released outside the table's lock: its destructor may
  // itself close handles.
  std::shared_ptr<vyn::KernelObject> object = vyn::Table().Remove(handle);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}
