#include "control/event_window.h"

#include <cstdio>
#include <new>

#include "platform/win/last_error.h"
#include "platform/win/message_delivery.h"
#include "platform/win/window.h"
#include "platform/win/window_class.h"

namespace vyn {
namespace {

// The helper windows' class, registered once per process under a name made
// from the procedure's address, so no other module's class can clash.
// Returns the class name; empty when it cannot be registered (the last
// error says why).
// The class lives as long as this module is loaded: it is unregistered
// when the module is unloaded, so a module loaded again (possibly at
// another address) registers its own procedure afresh.
class HelperWindowClass {
 public:
  explicit HelperWindowClass(WNDPROC procedure) {
    char ascii[48];
    std::snprintf(ascii, sizeof ascii, "Vyn:%p",
                  reinterpret_cast<void*>(reinterpret_cast<std::uintptr_t>(procedure)));
    name_.assign(ascii, ascii + std::char_traits<char>::length(ascii));
    WNDCLASSW window_class{};
    window_class.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    window_class.lpfnWndProc = procedure;
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground =
        reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_WINDOW + 1));
    window_class.lpszClassName = name_.c_str();
    if (!RegisterClassW(&window_class))
      name_.clear();
  }
  ~HelperWindowClass() {
    if (!name_.empty())
      UnregisterClassW(name_.c_str(), nullptr);
  }
  HelperWindowClass(const HelperWindowClass&) = delete;
  HelperWindowClass& operator=(const HelperWindowClass&) = delete;

  // Empty when the class could not be registered (the last error says why).
  const std::u16string& name() const { return name_; }

 private:
  std::u16string name_;
};

const std::u16string& HelperClassName(WNDPROC procedure) {
  static const HelperWindowClass window_class(procedure);
  return window_class.name();
}

}  // namespace

Result<void> EventWindow::Open() {
  if (hwnd_.load())
    return Ok();
  const std::u16string& class_name = HelperClassName(&EventWindow::Procedure);
  if (class_name.empty())
    return Error{HRESULT_FROM_WIN32(ERROR_CANNOT_FIND_WND_CLASS), "helper window class"};
  HWND hwnd = CreateWindowExW(0, class_name.c_str(), kHelperWindowTitle, WS_POPUP, 0, 0, 100, 100,
                              nullptr, nullptr, nullptr, this);
  if (!hwnd)
    return Error{HRESULT_FROM_WIN32(GetLastError()), "cannot create the helper window"};
  {
    std::lock_guard lock(texts_mutex_);
    closed_ = false;
  }
  hwnd_.store(hwnd);
  return Ok();
}

void EventWindow::Close() {
  questions_.Close();
  if (HWND hwnd = hwnd_.exchange(nullptr))
    DestroyWindow(hwnd);
  // The platform has dropped the queued messages; their copies go here.
  std::unordered_map<const char16_t*, std::unique_ptr<std::u16string>> dropped;
  std::lock_guard lock(texts_mutex_);
  closed_ = true;
  dropped.swap(texts_);
}

bool EventWindow::PostEvent(UINT message, WPARAM wparam) {
  HWND hwnd = hwnd_.load();
  if (!hwnd)
    return false;  // no window (yet or any more): posting to null would reach this thread
  if (message != kMsgExtractionError)
    return PostMessageW(hwnd, message, wparam, 0) != FALSE;

  bool refused = false;
  const char16_t* copy = KeepCopy(reinterpret_cast<const char16_t*>(wparam), &refused);
  if (refused)
    return false;
  if (PostMessageW(hwnd, message, reinterpret_cast<WPARAM>(copy), 0))
    return true;
  TakeCopy(reinterpret_cast<WPARAM>(copy));  // the post failed: free it now
  return false;
}

const char16_t* EventWindow::KeepCopy(const char16_t* text, bool* refused) {
  std::unique_ptr<std::u16string> copy;
  if (text) {
    // Without memory for the copy the event still goes, without its text.
    copy.reset(new (std::nothrow) std::u16string);
    if (copy) {
      try {
        copy->assign(text);
      } catch (const std::bad_alloc&) {
        copy.reset();
      }
    }
  }
  std::lock_guard lock(texts_mutex_);
  if (closed_) {
    *refused = true;
    return nullptr;
  }
  if (!copy)
    return nullptr;
  const char16_t* key = copy->c_str();
  texts_.emplace(key, std::move(copy));
  return key;
}

std::unique_ptr<std::u16string> EventWindow::TakeCopy(WPARAM wparam) {
  auto* key = reinterpret_cast<const char16_t*>(wparam);
  if (!key)
    return nullptr;
  std::lock_guard lock(texts_mutex_);
  auto found = texts_.find(key);
  if (found == texts_.end())
    return nullptr;
  std::unique_ptr<std::u16string> copy = std::move(found->second);
  texts_.erase(found);
  return copy;
}

std::size_t EventWindow::PendingTextCount() const {
  std::lock_guard lock(texts_mutex_);
  return texts_.size();
}

OverwriteAnswer EventWindow::AskOverwrite(const std::function<bool()>& cancelled) {
  return questions_.Ask(
      [this](LPARAM id) {
        HWND hwnd = hwnd_.load();
        return hwnd && PostMessageW(hwnd, kMsgOverwriteQuestion, 0, id);
      },
      cancelled);
}

LRESULT EventWindow::Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<EventWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (message == WM_NCDESTROY)
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  if (!self)
    return DefWindowProcW(hwnd, message, wparam, lparam);
  return self->Handle(hwnd, message, wparam, lparam);
}

LRESULT EventWindow::Handle(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case kMsgDiskChanged:
    case kMsgExtractionStart:
    case kMsgExtractionEnd:
    case kMsgJitterDetected:
    case kMsgProgress:
      client_->OnEventMessage(message, wparam, nullptr);
      return 0;
    case kMsgExtractionError: {
      // Only texts this window copied are read; any other wParam is no text.
      std::unique_ptr<std::u16string> text = TakeCopy(wparam);
      client_->OnEventMessage(message, 0, text ? text->c_str() : nullptr);
      return 0;
    }
    case kMsgOverwriteQuestion:
      return static_cast<LRESULT>(
          questions_.Answer(lparam, [&] { return client_->DecideOverwrite(hwnd); }));
    default:
      return DefWindowProcW(hwnd, message, wparam, lparam);
  }
}

}  // namespace vyn
