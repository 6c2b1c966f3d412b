#include "platform/win/window_object.h"

#include <algorithm>
#include <shared_mutex>
#include <unordered_map>

#include "platform/win/message_queue.h"
#include "platform/win/thread.h"

namespace vyn {
namespace {

// Live windows by handle value. Values count up in steps of two from
// 0x10000 and are never reused. Never destroyed: windows go away while
// the process exits.
class WindowTable {
 public:
  HWND Reserve() {
    std::unique_lock lock(mutex_);
    next_ += 2;
    return reinterpret_cast<HWND>(next_);
  }
  void Add(const std::shared_ptr<WindowObject>& window) {
    std::unique_lock lock(mutex_);
    windows_[Key(window->hwnd())] = window;
  }
  std::shared_ptr<WindowObject> Find(HWND hwnd) {
    std::shared_lock lock(mutex_);
    auto found = windows_.find(Key(hwnd));
    return found == windows_.end() ? nullptr : found->second;
  }
  bool AnyOfClass(std::u16string_view class_name) {
    std::shared_lock lock(mutex_);
    return std::any_of(windows_.begin(), windows_.end(),
                       [&](const auto& entry) { return entry.second->class_name() == class_name; });
  }
  std::shared_ptr<WindowObject> Remove(HWND hwnd) {
    std::unique_lock lock(mutex_);
    auto found = windows_.find(Key(hwnd));
    if (found == windows_.end())
      return nullptr;
    auto window = std::move(found->second);
    windows_.erase(found);
    return window;
  }

 private:
  static std::uintptr_t Key(HWND hwnd) { return reinterpret_cast<std::uintptr_t>(hwnd); }

  std::shared_mutex mutex_;
  std::uintptr_t next_ = 0x10000;                                              // guarded by mutex_
  std::unordered_map<std::uintptr_t, std::shared_ptr<WindowObject>> windows_;  // guarded by mutex_
};

WindowTable& Table() {
  static auto* table = new WindowTable;
  return *table;
}

}  // namespace

bool AnyWindowOfClass(std::u16string_view class_name) {
  return Table().AnyOfClass(class_name);
}

std::shared_ptr<WindowObject> WindowObject::Create(Params params) {
  auto owner = MessageQueue::ForCurrentThread();
  auto window = std::make_shared<WindowObject>(Table().Reserve(), GetCurrentThreadId(), owner,
                                               std::move(params));
  owner->AdoptWindow(window);
  Table().Add(window);
  return window;
}

std::shared_ptr<WindowObject> WindowObject::Find(HWND hwnd) {
  if (!hwnd)
    return nullptr;
  return Table().Find(hwnd);
}

void WindowObject::Forget(HWND hwnd) {
  // Released outside the table's lock.
  std::shared_ptr<WindowObject> window = Table().Remove(hwnd);
}

WindowObject::WindowObject(HWND hwnd,
                           DWORD owner_thread,
                           std::shared_ptr<MessageQueue> owner,
                           Params params)
    : proc(params.proc),
      style(static_cast<LONG_PTR>(params.style)),
      ex_style(static_cast<LONG_PTR>(params.ex_style)),
      hwnd_(hwnd),
      owner_thread_(owner_thread),
      owner_(std::move(owner)),
      instance_(params.instance),
      parent_(params.parent),
      class_name_(std::move(params.class_name)),
      title_(std::move(params.title)) {}

LRESULT WindowObject::Call(UINT message, WPARAM wparam, LPARAM lparam) {
  WNDPROC procedure = proc.load();
  return procedure ? procedure(hwnd_, message, wparam, lparam) : 0;
}

std::u16string WindowObject::title() const {
  std::lock_guard lock(title_mutex_);
  return title_;
}

void WindowObject::set_title(std::u16string title) {
  std::lock_guard lock(title_mutex_);
  title_ = std::move(title);
}

}  // namespace vyn
