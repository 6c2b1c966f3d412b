// Pumping the calling thread's queue from outside a message loop: a host
// with its own event loop watches CurrentThreadQueueFd() and calls
// RunUntilIdle() when it becomes readable; tests pump until a condition
// holds. These leave WM_QUIT in the queue for the thread's own loop.
//
// Home thread: the calling thread's own queue.
#pragma once

#include <chrono>
#include <functional>

#include "platform/win/deadline.h"

namespace vyn {

// A descriptor that is readable while messages wait in the calling
// thread's queue (posted, sent, quit, or a due timer) and not once it has
// been drained. Valid for the thread's life; -1 when it cannot be made.
int CurrentThreadQueueFd();

// Handles sent messages and dispatches posted messages and due timers
// until none waits. Returns how many it handled.
int RunUntilIdle();

// Handles and dispatches messages until `done` returns true or the
// deadline passes; returns the last answer of `done`. `done` is checked
// whenever the queue changes and at least every `recheck`, so a condition
// set by another thread without a message is seen too.
bool PumpMessagesUntil(const std::function<bool()>& done,
                       Deadline deadline,
                       std::chrono::milliseconds recheck = std::chrono::milliseconds(2));
// The same with a time-out in real milliseconds, for tests.
bool PumpMessagesUntil(const std::function<bool()>& done, std::chrono::milliseconds real_timeout);

}  // namespace vyn
