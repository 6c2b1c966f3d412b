// The file descriptor a host's own event loop watches to learn that a
// message queue wants pumping: readable while messages wait, and when a
// timer of the queue comes due. An epoll descriptor over an eventfd (the
// "messages wait" flag) and a timerfd (the next timer).
//
// Home thread: none; its owner calls it under the owner's lock.
#pragma once

#include <optional>

#include "platform/win/clock.h"

namespace vyn {

class QueueFd {
 public:
  QueueFd() = default;
  ~QueueFd();
  QueueFd(const QueueFd&) = delete;
  QueueFd& operator=(const QueueFd&) = delete;

  // Creates the descriptors; false (last error set) when the system refuses.
  bool Open();
  bool is_open() const { return epoll_fd_ >= 0; }
  int fd() const { return epoll_fd_; }

  // Makes the descriptor readable exactly while `ready`, and arranges for
  // it to become readable after `next_timer` of virtual time (none: no
  // timer pending).
  void Update(bool ready, std::optional<Clock::TimePoint> next_timer);

 private:
  int epoll_fd_ = -1;
  int event_fd_ = -1;
  int timer_fd_ = -1;
  bool signalled_ = false;
  std::optional<Clock::TimePoint> armed_for_;
};

}  // namespace vyn
