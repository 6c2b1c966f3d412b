#include "platform/win/waiter.h"

#include <algorithm>

namespace vyn {

void Waiter::Wake() {
  {
    std::lock_guard lock(mutex_);
    woken_ = true;
  }
  wake_.notify_one();
}

bool Waiter::WaitUntil(Deadline deadline) {
  std::unique_lock lock(mutex_);
  if (deadline.IsNever()) {
    wake_.wait(lock, [&] { return woken_; });
  } else if (!wake_.wait_until(lock, deadline.when(), [&] { return woken_; })) {
    return false;
  }
  woken_ = false;
  return true;
}

void WaitSource::AddWaiter(Waiter* waiter) {
  std::lock_guard lock(waiters_mutex_);
  waiters_.push_back(waiter);
}

void WaitSource::RemoveWaiter(Waiter* waiter) {
  std::lock_guard lock(waiters_mutex_);
  auto found = std::find(waiters_.begin(), waiters_.end(), waiter);
  if (found != waiters_.end())
    waiters_.erase(found);
}

void WaitSource::WakeWaiters() {
  std::lock_guard lock(waiters_mutex_);
  for (Waiter* waiter : waiters_)
    waiter->Wake();
}

}  // namespace vyn
