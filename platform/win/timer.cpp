#include "platform/win/timer.h"

#include "platform/win/last_error.h"
#include "platform/win/message_queue.h"
#include "platform/win/window_object.h"

namespace {

// The queue that holds a timer of `hwnd`: the window's owner's, or the
// calling thread's for thread timers.
std::shared_ptr<vyn::MessageQueue> TimerQueue(HWND hwnd) {
  if (!hwnd)
    return vyn::MessageQueue::ForCurrentThread();
  auto window = vyn::WindowObject::Find(hwnd);
  if (!window) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  return window->owner();
}

}  // namespace

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT ms, TIMERPROC proc) {
  auto queue = TimerQueue(hwnd);
  return queue ? queue->SetTimer(hwnd, id, ms, proc) : 0;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
  auto queue = TimerQueue(hwnd);
  if (!queue)
    return FALSE;
  return queue->KillTimer(hwnd, id) ? TRUE : FALSE;
}
