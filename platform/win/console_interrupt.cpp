#include "platform/win/console_interrupt.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>

namespace vyn {
namespace {

// The write end the signal handler uses; -1 when no watch is active.
std::atomic<int> g_signal_fd{-1};

void OnSignal(int) {
  int saved = errno;
  int fd = g_signal_fd.load();
  if (fd >= 0) {
    char byte = 1;
    // Async-signal-safe; a full pipe already holds an unread interrupt.
    (void)!::write(fd, &byte, 1);
  }
  errno = saved;
}

bool MakePipe(int fds[2]) {
  return ::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0;
}

void CloseBoth(int fds[2]) {
  for (int i = 0; i < 2; ++i) {
    if (fds[i] >= 0)
      ::close(fds[i]);
    fds[i] = -1;
  }
}

}  // namespace

struct ConsoleInterruptWatch::Pipes {
  int signal[2] = {-1, -1};  // the handler writes, the watcher reads
  int stop[2] = {-1, -1};    // the destructor writes, the watcher reads
  struct sigaction previous {};
  ~Pipes() {
    CloseBoth(signal);
    CloseBoth(stop);
  }
};

Result<std::unique_ptr<ConsoleInterruptWatch>> ConsoleInterruptWatch::Start(
    std::function<void()> on_interrupt) {
  auto pipes = std::make_unique<Pipes>();
  if (!MakePipe(pipes->signal) || !MakePipe(pipes->stop))
    return Error{E_FAIL, "cannot make the interrupt pipe"};
  int expected = -1;
  if (!g_signal_fd.compare_exchange_strong(expected, pipes->signal[1]))
    return Error{E_UNEXPECTED, "another interrupt watch is active"};
  struct sigaction action {};
  action.sa_handler = OnSignal;
  ::sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  if (::sigaction(SIGINT, &action, &pipes->previous) != 0) {
    g_signal_fd.store(-1);
    return Error{E_FAIL, "cannot install the interrupt handler"};
  }
  return std::unique_ptr<ConsoleInterruptWatch>(
      new ConsoleInterruptWatch(std::move(pipes), std::move(on_interrupt)));
}

ConsoleInterruptWatch::ConsoleInterruptWatch(std::unique_ptr<Pipes> pipes,
                                             std::function<void()> on_interrupt)
    : pipes_(std::move(pipes)), on_interrupt_(std::move(on_interrupt)) {
  watcher_ = std::thread([this] { Watch(); });
}

ConsoleInterruptWatch::~ConsoleInterruptWatch() {
  ::sigaction(SIGINT, &pipes_->previous, nullptr);
  g_signal_fd.store(-1);
  char byte = 1;
  (void)!::write(pipes_->stop[1], &byte, 1);
  watcher_.join();
}

void ConsoleInterruptWatch::Watch() {
  for (;;) {
    pollfd fds[2] = {{pipes_->signal[0], POLLIN, 0}, {pipes_->stop[0], POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR)
        continue;
      return;
    }
    if (fds[1].revents)
      return;
    if (fds[0].revents & POLLIN) {
      char bytes[16];
      // One callback per wake-up: interrupts that came together are one.
      while (::read(pipes_->signal[0], bytes, sizeof bytes) > 0) {
      }
      on_interrupt_();
    }
  }
}

}  // namespace vyn
