#include "platform/win/message_delivery.h"

#include "platform/win/clock.h"
#include "platform/win/last_error.h"
#include "platform/win/message_queue.h"
#include "platform/win/thread.h"
#include "platform/win/window_object.h"

BOOL PostMessageW(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (!hwnd)
    return PostThreadMessageW(GetCurrentThreadId(), message, wparam, lparam);
  auto window = vyn::WindowObject::Find(hwnd);
  if (!window ||
      !window->owner()->Post(MSG{hwnd, message, wparam, lparam, GetTickCount()}, window.get())) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return TRUE;
}

BOOL PostThreadMessageW(DWORD thread_id, UINT message, WPARAM wparam, LPARAM lparam) {
  auto queue = thread_id == GetCurrentThreadId() ? vyn::MessageQueue::ForCurrentThread()
                                                 : vyn::MessageQueue::ForThread(thread_id);
  if (!queue || !queue->Post(MSG{nullptr, message, wparam, lparam, GetTickCount()}, nullptr)) {
    SetLastError(ERROR_INVALID_THREAD_ID);
    return FALSE;
  }
  return TRUE;
}

LRESULT SendMessageW(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto window = vyn::WindowObject::Find(hwnd);
  if (!window) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (window->owner_thread() == GetCurrentThreadId())
    return window->Call(message, wparam, lparam);

  auto self = vyn::MessageQueue::ForCurrentThread();
  auto sent = std::make_shared<vyn::SentMessage>();
  sent->window = window;
  sent->message = message;
  sent->wparam = wparam;
  sent->lparam = lparam;
  sent->sender = self;

  vyn::Waiter waiter;
  vyn::ScopedWaiterRegistration registration(*self, waiter);
  if (!window->owner()->Send(sent)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  while (!sent->answered()) {
    if (self->HandleSentMessages())
      continue;
    if (sent->answered())
      break;
    waiter.WaitUntil(vyn::Deadline::Never());
  }
  return sent->result();
}
