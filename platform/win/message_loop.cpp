#include "platform/win/message_loop.h"

#include <vector>

#include "platform/win/clock.h"
#include "platform/win/last_error.h"
#include "platform/win/message_queue.h"
#include "platform/win/thread.h"
#include "platform/win/wait.h"
#include "platform/win/waitable_object.h"
#include "platform/win/window_object.h"

namespace {

HWND const kThreadOnly = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1));

bool ValidFilterWindow(HWND hwnd) {
  if (!hwnd || hwnd == kThreadOnly || vyn::WindowObject::Find(hwnd))
    return true;
  SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return false;
}

}  // namespace

BOOL GetMessageW(MSG* message, HWND hwnd, UINT min, UINT max) {
  if (!message) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  if (!ValidFilterWindow(hwnd))
    return -1;
  auto queue = vyn::MessageQueue::ForCurrentThread();
  vyn::MessageFilter filter{hwnd, min, max};
  vyn::Waiter waiter;
  vyn::ScopedWaiterRegistration registration(*queue, waiter);
  for (;;) {
    queue->HandleSentMessages();
    if (queue->TakeInput(message, filter, vyn::Removal::kRemove, vyn::QuitMessage::kTake)) {
      return message->message == WM_QUIT ? 0 : 1;
    }
    waiter.WaitUntil(queue->NextTimerDeadline(filter));
  }
}

BOOL PeekMessageW(MSG* message, HWND hwnd, UINT min, UINT max, UINT flags) {
  if (!message) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!ValidFilterWindow(hwnd))
    return FALSE;
  auto queue = vyn::MessageQueue::ForCurrentThread();
  queue->HandleSentMessages();
  auto removal = (flags & PM_REMOVE) ? vyn::Removal::kRemove : vyn::Removal::kKeep;
  return queue->TakeInput(message, {hwnd, min, max}, removal, vyn::QuitMessage::kTake) ? TRUE
                                                                                       : FALSE;
}

BOOL TranslateMessage(const MSG*) {
  return FALSE;
}

LRESULT DispatchMessageW(const MSG* message) {
  if (!message)
    return 0;
  if (message->message == WM_TIMER && message->lParam != 0) {
    reinterpret_cast<TIMERPROC>(message->lParam)(message->hwnd, WM_TIMER, message->wParam,
                                                 GetTickCount());
    return 0;
  }
  if (!message->hwnd)
    return 0;
  auto window = vyn::WindowObject::Find(message->hwnd);
  if (!window) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (window->owner_thread() != GetCurrentThreadId()) {
    SetLastError(ERROR_WINDOW_OF_OTHER_THREAD);
    return 0;
  }
  return window->Call(message->message, message->wParam, message->lParam);
}

void PostQuitMessage(int exit_code) {
  vyn::MessageQueue::ForCurrentThread()->PostQuit(exit_code);
}

DWORD MsgWaitForMultipleObjects(DWORD count,
                                const HANDLE* handles,
                                BOOL wait_all,
                                DWORD ms,
                                DWORD wake_mask) {
  if (count > MAXIMUM_WAIT_OBJECTS || (count > 0 && !handles)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  if (wait_all) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return WAIT_FAILED;
  }
  std::vector<std::shared_ptr<vyn::WaitableObject>> objects;
  if (!vyn::WaitableObjectsFromHandles({handles, count}, &objects))
    return WAIT_FAILED;

  const bool posted = (wake_mask & (QS_POSTMESSAGE | QS_ALLPOSTMESSAGE)) != 0;
  const bool timers = (wake_mask & QS_TIMER) != 0;
  vyn::Deadline deadline = vyn::Deadline::AfterMs(ms);
  auto queue = vyn::MessageQueue::ForCurrentThread();
  vyn::Waiter waiter;
  vyn::ScopedWaiterRegistration registration(*queue, waiter);
  for (auto& object : objects)
    object->AddWaiter(&waiter);
  DWORD result = WAIT_TIMEOUT;
  for (;;) {
    queue->HandleSentMessages();
    bool done = false;
    for (DWORD i = 0; i < count && !done; ++i) {
      if (objects[i]->TryAcquire()) {
        result = WAIT_OBJECT_0 + i;
        done = true;
      }
    }
    if (!done && queue->HasInput(posted, timers)) {
      result = WAIT_OBJECT_0 + count;
      done = true;
    }
    if (done || deadline.Passed())
      break;
    vyn::Deadline wake = deadline;
    if (timers)
      wake = wake.Earlier(queue->NextTimerDeadline({}));
    waiter.WaitUntil(wake);
  }
  for (auto& object : objects)
    object->RemoveWaiter(&waiter);
  return result;
}
