#include "platform/win/queue_fd.h"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "platform/win/last_error.h"

namespace vyn {
namespace {

void CloseFd(int& fd) {
  if (fd >= 0)
    ::close(fd);
  fd = -1;
}

bool Watch(int epoll_fd, int fd) {
  epoll_event event{};
  event.events = EPOLLIN;
  event.data.fd = fd;
  return ::epoll_ctl(epoll_fd, EPOLL_CTL_ADD, fd, &event) == 0;
}

}  // namespace

QueueFd::~QueueFd() {
  CloseFd(epoll_fd_);
  CloseFd(event_fd_);
  CloseFd(timer_fd_);
}

bool QueueFd::Open() {
  if (is_open())
    return true;
  int epoll_fd = ::epoll_create1(EPOLL_CLOEXEC);
  int event_fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  int timer_fd = ::timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK);
  if (epoll_fd < 0 || event_fd < 0 || timer_fd < 0 || !Watch(epoll_fd, event_fd) ||
      !Watch(epoll_fd, timer_fd)) {
    SetLastErrorFromErrno(errno);
    CloseFd(epoll_fd);
    CloseFd(event_fd);
    CloseFd(timer_fd);
    return false;
  }
  epoll_fd_ = epoll_fd;
  event_fd_ = event_fd;
  timer_fd_ = timer_fd;
  signalled_ = false;
  armed_for_.reset();
  return true;
}

void QueueFd::Update(bool ready, std::optional<Clock::TimePoint> next_timer) {
  if (!is_open())
    return;
  if (ready != signalled_) {
    std::uint64_t value = 1;
    // The eventfd is non-blocking and holds at most 1, so these cannot block
    // or overflow; a failure would only leave the flag as it was.
    if (ready) {
      [[maybe_unused]] auto written = ::write(event_fd_, &value, sizeof value);
    } else {
      [[maybe_unused]] auto read = ::read(event_fd_, &value, sizeof value);
    }
    signalled_ = ready;
  }
  if (next_timer == armed_for_)
    return;
  // Setting the timer also clears an expiry that has not been read.
  itimerspec spec{};
  if (next_timer) {
    auto real = CurrentClock().RealDuration(*next_timer - CurrentClock().Now());
    if (real < std::chrono::nanoseconds(1))
      real = std::chrono::nanoseconds(1);
    auto seconds = std::chrono::duration_cast<std::chrono::seconds>(real);
    spec.it_value.tv_sec = static_cast<time_t>(seconds.count());
    spec.it_value.tv_nsec = static_cast<long>((real - seconds).count());
  }
  ::timerfd_settime(timer_fd_, 0, &spec, nullptr);
  armed_for_ = next_timer;
}

}  // namespace vyn
