// Helpers for the messaging tests: a window that records what it receives,
// a bounded message wait, and a watchdog that fails a test that would
// otherwise hang in a deadlock.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/win/message_delivery.h"
#include "platform/win/message_loop.h"
#include "platform/win/message_pump.h"
#include "platform/win/thread.h"
#include "platform/win/window.h"

namespace vyn::testing {

struct Received {
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
  DWORD thread;
};

// A hidden window, made on the calling thread, that records every message
// it receives and answers through an optional handler. Thread-safe log.
class RecordingWindow {
 public:
  using Handler = std::function<LRESULT(UINT message, WPARAM wparam, LPARAM lparam)>;

  explicit RecordingWindow(Handler handler = nullptr) : handler_(std::move(handler)) {
    hwnd_ = CreateWindowExW(0, ClassName(), u"recording", WS_POPUP, 0, 0, 100, 100, nullptr,
                            nullptr, nullptr, this);
  }
  ~RecordingWindow() {
    if (IsWindow(hwnd_) && GetWindowThreadProcessId(hwnd_, nullptr) == GetCurrentThreadId()) {
      DestroyWindow(hwnd_);
    }
  }
  RecordingWindow(const RecordingWindow&) = delete;
  RecordingWindow& operator=(const RecordingWindow&) = delete;

  HWND hwnd() const { return hwnd_; }

  std::vector<Received> All() const {
    std::lock_guard lock(mutex_);
    return log_;
  }
  std::vector<Received> Of(UINT message) const {
    std::vector<Received> found;
    for (const Received& r : All()) {
      if (r.message == message)
        found.push_back(r);
    }
    return found;
  }
  std::size_t CountOf(UINT message) const { return Of(message).size(); }

 private:
  static const WCHAR* ClassName() {
    static const ATOM atom = [] {
      WNDCLASSW window_class{};
      window_class.lpfnWndProc = &Procedure;
      window_class.lpszClassName = u"VynTestRecordingWindow";
      return RegisterClassW(&window_class);
    }();
    return MAKEINTATOM(atom);
  }

  static LRESULT Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<RecordingWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
      return DefWindowProcW(hwnd, message, wparam, lparam);
    {
      std::lock_guard lock(self->mutex_);
      self->log_.push_back({message, wparam, lparam, GetCurrentThreadId()});
    }
    if (self->handler_ && message >= WM_USER)
      return self->handler_(message, wparam, lparam);
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }

  Handler handler_;
  HWND hwnd_ = nullptr;
  mutable std::mutex mutex_;
  std::vector<Received> log_;  // guarded by mutex_
};

// A window with the default procedure, made on the calling thread.
inline HWND CreatePlainWindow() {
  static const ATOM atom = [] {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = &DefWindowProcW;
    window_class.lpszClassName = u"VynTestPlainWindow";
    return RegisterClassW(&window_class);
  }();
  return CreateWindowExW(0, MAKEINTATOM(atom), nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                         nullptr, nullptr);
}

// Takes the next message of the calling thread within `ms` real
// milliseconds; false when none came.
inline bool NextMessageWithin(MSG* message, DWORD ms) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    if (PeekMessageW(message, nullptr, 0, 0, PM_REMOVE))
      return true;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0)
      return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left.count()), QS_ALLINPUT);
  }
}

// Ends the process with a message when a scenario that could deadlock has
// not finished in time, instead of letting the test hang.
class Watchdog {
 public:
  explicit Watchdog(std::chrono::seconds limit, const char* what)
      : what_(what), thread_([this, limit] {
          std::unique_lock lock(mutex_);
          if (!done_cv_.wait_for(lock, limit, [this] { return done_; })) {
            std::fprintf(stderr, "Watchdog: '%s' did not finish in time (deadlock?)\n", what_);
            std::abort();
          }
        }) {}
  ~Watchdog() {
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    done_cv_.notify_one();
    thread_.join();
  }

 private:
  const char* what_;
  std::mutex mutex_;
  std::condition_variable done_cv_;
  bool done_ = false;  // guarded by mutex_
  std::thread thread_;
};

// Leaves the calling thread's queue empty between tests.
class MessagingTest : public ::testing::Test {
 protected:
  void TearDown() override {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
};

}  // namespace vyn::testing
