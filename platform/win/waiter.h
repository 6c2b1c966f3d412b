// The blocking half of every wait: one thread sleeps on a Waiter that it has
// registered with one or more WaitSources (events, threads, its message
// queue); any source whose state changes wakes it, and the thread then
// re-checks what it waits for. A Waiter registered before that check
// cannot miss a change that happens after it.
#pragma once

#include <condition_variable>
#include <mutex>
#include <vector>

#include "platform/win/deadline.h"

namespace vyn {

// Home thread: the waiting thread sleeps on it; any thread may Wake it.
class Waiter {
 public:
  void Wake();
  // Sleeps until woken or the deadline passes; returns false on time-out.
  // Either way the wake-up is consumed.
  bool WaitUntil(Deadline deadline);

 private:
  std::mutex mutex_;
  std::condition_variable wake_;
  bool woken_ = false;  // guarded by mutex_
};

// Something a thread can wait for. Thread-safe.
class WaitSource {
 public:
  void AddWaiter(Waiter* waiter);
  void RemoveWaiter(Waiter* waiter);

 protected:
  WaitSource() = default;
  ~WaitSource() = default;
  // Call after every change a waiter may be waiting for.
  void WakeWaiters();

 private:
  std::mutex waiters_mutex_;
  std::vector<Waiter*> waiters_;  // guarded by waiters_mutex_
};

// Registers a waiter with a source for the lifetime of the registration.
class ScopedWaiterRegistration {
 public:
  ScopedWaiterRegistration(WaitSource& source, Waiter& waiter) : source_(source), waiter_(waiter) {
    source_.AddWaiter(&waiter_);
  }
  ~ScopedWaiterRegistration() { source_.RemoveWaiter(&waiter_); }
  ScopedWaiterRegistration(const ScopedWaiterRegistration&) = delete;
  ScopedWaiterRegistration& operator=(const ScopedWaiterRegistration&) = delete;

 private:
  WaitSource& source_;
  Waiter& waiter_;
};

}  // namespace vyn
