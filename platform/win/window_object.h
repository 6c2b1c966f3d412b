// A window: an object owned by the thread that created it, with a window
// procedure and a few words of state. Windows are found through the
// process's window table by their HWND, which is never reused, so a handle
// to a destroyed window is recognised as invalid instead of dangling.
//
// Thread-safe: fields that other threads read are atomic; `alive` changes
// only under the owner queue's lock.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/win/window_types.h"

namespace vyn {

class MessageQueue;

class WindowObject {
 public:
  struct Params {
    WNDPROC proc = nullptr;
    std::u16string class_name;
    std::u16string title;
    DWORD style = 0;
    DWORD ex_style = 0;
    HWND parent = nullptr;
    HINSTANCE instance = nullptr;
  };

  // Makes a window owned by the calling thread and enters it in the table.
  static std::shared_ptr<WindowObject> Create(Params params);
  // The live window behind `hwnd`; null when there is none.
  static std::shared_ptr<WindowObject> Find(HWND hwnd);
  // Takes the window out of the table (IsWindow is false from then on).
  static void Forget(HWND hwnd);

  WindowObject(HWND hwnd, DWORD owner_thread, std::shared_ptr<MessageQueue> owner, Params params);

  HWND hwnd() const { return hwnd_; }
  DWORD owner_thread() const { return owner_thread_; }
  const std::shared_ptr<MessageQueue>& owner() const { return owner_; }
  HINSTANCE instance() const { return instance_; }
  HWND parent() const { return parent_; }
  const std::u16string& class_name() const { return class_name_; }

  // Calls the window procedure on the calling thread.
  LRESULT Call(UINT message, WPARAM wparam, LPARAM lparam);

  std::u16string title() const;
  void set_title(std::u16string title);

  std::atomic<WNDPROC> proc;
  std::atomic<LONG_PTR> user_data{0};
  std::atomic<LONG_PTR> style;
  std::atomic<LONG_PTR> ex_style;
  // Cleared when the window is destroyed, under the owner queue's lock.
  std::atomic<bool> alive{true};
  // Owner thread only: DestroyWindow is under way.
  bool destroying = false;

 private:
  const HWND hwnd_;
  const DWORD owner_thread_;
  const std::shared_ptr<MessageQueue> owner_;
  const HINSTANCE instance_;
  const HWND parent_;
  const std::u16string class_name_;
  mutable std::mutex title_mutex_;
  std::u16string title_;  // guarded by title_mutex_
};

// Whether a window made from the class registered as `class_name` is
// still in the window table.
bool AnyWindowOfClass(std::u16string_view class_name);

}  // namespace vyn
