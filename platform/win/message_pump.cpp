#include "platform/win/message_pump.h"

#include "platform/win/message_loop.h"
#include "platform/win/message_queue.h"

namespace vyn {

int CurrentThreadQueueFd() {
  return MessageQueue::ForCurrentThread()->fd();
}

int RunUntilIdle() {
  auto queue = MessageQueue::ForCurrentThread();
  int handled = 0;
  for (;;) {
    if (queue->HandleSentMessages())
      ++handled;
    MSG message;
    if (!queue->TakeInput(&message, {}, Removal::kRemove, QuitMessage::kLeave))
      break;
    DispatchMessageW(&message);
    ++handled;
  }
  // A send that arrived during the last dispatch.
  if (queue->HandleSentMessages())
    ++handled;
  return handled;
}

bool PumpMessagesUntil(const std::function<bool()>& done,
                       Deadline deadline,
                       std::chrono::milliseconds recheck) {
  auto queue = MessageQueue::ForCurrentThread();
  Waiter waiter;
  ScopedWaiterRegistration registration(*queue, waiter);
  for (;;) {
    if (done())
      return true;
    queue->HandleSentMessages();
    MSG message;
    if (queue->TakeInput(&message, {}, Removal::kRemove, QuitMessage::kLeave)) {
      DispatchMessageW(&message);
      continue;
    }
    if (done())
      return true;
    if (deadline.Passed())
      return false;
    Deadline wake = deadline.Earlier(queue->NextTimerDeadline({}));
    if (recheck != std::chrono::milliseconds::max()) {
      wake = wake.Earlier(Deadline::At(std::chrono::steady_clock::now() + recheck));
    }
    waiter.WaitUntil(wake);
  }
}

bool PumpMessagesUntil(const std::function<bool()>& done, std::chrono::milliseconds real_timeout) {
  return PumpMessagesUntil(done, Deadline::At(std::chrono::steady_clock::now() + real_timeout));
}

}  // namespace vyn
