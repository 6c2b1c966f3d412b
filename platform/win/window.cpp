#include "platform/win/window.h"

#include <unistd.h>

#include <algorithm>

#include "platform/win/last_error.h"
#include "platform/win/message_queue.h"
#include "platform/win/thread.h"
#include "platform/win/window_object.h"

namespace {

std::shared_ptr<vyn::WindowObject> FindOrFail(HWND hwnd) {
  auto window = vyn::WindowObject::Find(hwnd);
  if (!window)
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return window;
}

std::atomic<LONG_PTR>* Field(vyn::WindowObject& window, int index) {
  switch (index) {
    case GWLP_USERDATA:
      return &window.user_data;
    case GWL_STYLE:
      return &window.style;
    case GWL_EXSTYLE:
      return &window.ex_style;
    default:
      return nullptr;
  }
}

}  // namespace

HWND CreateWindowExW(DWORD ex_style,
                     const WCHAR* class_name,
                     const WCHAR* title,
                     DWORD style,
                     int x,
                     int y,
                     int width,
                     int height,
                     HWND parent,
                     HMENU menu,
                     HINSTANCE instance,
                     void* param) {
  std::optional<vyn::WindowClass> window_class = vyn::FindWindowClass(class_name);
  if (!window_class) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  vyn::WindowObject::Params params;
  params.proc = window_class->proc;
  params.class_name = window_class->name;
  params.title = title ? std::u16string(title) : std::u16string();
  params.style = style;
  params.ex_style = ex_style;
  params.parent = parent;
  params.instance = instance;
  auto window = vyn::WindowObject::Create(std::move(params));
  HWND hwnd = window->hwnd();

  CREATESTRUCTW create{param,
                       instance,
                       menu,
                       parent,
                       height,
                       width,
                       y,
                       x,
                       static_cast<LONG>(style),
                       title,
                       window_class->name.c_str(),
                       ex_style};
  if (window->Call(WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create)) == 0) {
    window->Call(WM_NCDESTROY, 0, 0);
    window->owner()->DiscardWindow(window);
    vyn::WindowObject::Forget(hwnd);
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (window->Call(WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
    DestroyWindow(hwnd);
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return hwnd;
}

BOOL DestroyWindow(HWND hwnd) {
  auto window = FindOrFail(hwnd);
  if (!window)
    return FALSE;
  if (window->owner_thread() != GetCurrentThreadId()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (window->destroying)
    return TRUE;
  window->destroying = true;
  window->Call(WM_DESTROY, 0, 0);
  window->Call(WM_NCDESTROY, 0, 0);
  window->owner()->DiscardWindow(window);
  vyn::WindowObject::Forget(hwnd);
  return TRUE;
}

BOOL IsWindow(HWND hwnd) {
  return vyn::WindowObject::Find(hwnd) ? TRUE : FALSE;
}

LRESULT DefWindowProcW(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_NCCREATE ? TRUE : 0;
}

LONG_PTR GetWindowLongPtrW(HWND hwnd, int index) {
  auto window = FindOrFail(hwnd);
  if (!window)
    return 0;
  if (index == GWLP_WNDPROC)
    return reinterpret_cast<LONG_PTR>(window->proc.load());
  if (index == GWLP_HINSTANCE)
    return reinterpret_cast<LONG_PTR>(window->instance());
  std::atomic<LONG_PTR>* field = Field(*window, index);
  if (!field) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return field->load();
}

LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value) {
  auto window = FindOrFail(hwnd);
  if (!window)
    return 0;
  if (index == GWLP_WNDPROC) {
    return reinterpret_cast<LONG_PTR>(window->proc.exchange(reinterpret_cast<WNDPROC>(value)));
  }
  std::atomic<LONG_PTR>* field = Field(*window, index);
  if (!field) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return field->exchange(value);
}

int GetWindowTextW(HWND hwnd, WCHAR* buffer, int buffer_chars) {
  auto window = FindOrFail(hwnd);
  if (!window || !buffer || buffer_chars <= 0)
    return 0;
  std::u16string title = window->title();
  auto count = std::min<std::size_t>(title.size(), static_cast<std::size_t>(buffer_chars - 1));
  std::copy_n(title.data(), count, buffer);
  buffer[count] = 0;
  return static_cast<int>(count);
}

BOOL SetWindowTextW(HWND hwnd, const WCHAR* text) {
  auto window = FindOrFail(hwnd);
  if (!window)
    return FALSE;
  window->set_title(text ? std::u16string(text) : std::u16string());
  return TRUE;
}

DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* process_id) {
  auto window = FindOrFail(hwnd);
  if (!window)
    return 0;
  if (process_id)
    *process_id = static_cast<DWORD>(::getpid());
  return window->owner_thread();
}
