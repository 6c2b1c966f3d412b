// Threads. A thread made here gets its message queue before its body runs
// (so messages may be posted to it at once), loses the queue when the body
// returns, and then signals its handle. Thread identifiers are small
// numbers that are never reused within the process.
#pragma once

#include <functional>
#include <memory>

#include "platform/com/result.h"
#include "platform/win/handle.h"
#include "platform/win/wait.h"

using LPTHREAD_START_ROUTINE = DWORD (*)(void* parameter);

inline constexpr DWORD STILL_ACTIVE = 259;

// Starts `start(parameter)` on a new thread. Returns a handle that is
// signalled when the thread has ended (close it with CloseHandle; the
// thread runs on regardless), or null with the last error set. Security,
// stack size and creation flags are ignored.
HANDLE CreateThread(void* security,
                    std::size_t stack_size,
                    LPTHREAD_START_ROUTINE start,
                    void* parameter,
                    DWORD flags,
                    DWORD* thread_id);
DWORD GetCurrentThreadId();
// The thread's return value, or STILL_ACTIVE while it runs.
BOOL GetExitCodeThread(HANDLE thread, DWORD* exit_code);

namespace vyn {

class ThreadObject;

// A thread owned by C++ code: runs a callable, and is waited for when the
// Thread object goes. Home thread: the thread that started it; move-only.
class Thread {
 public:
  static Result<Thread> Start(std::function<void()> body);

  // No thread; a place to move one into.
  Thread() = default;
  Thread(Thread&&) noexcept = default;
  Thread& operator=(Thread&& other) noexcept;
  ~Thread();

  DWORD id() const;
  // The thread's handle, valid while this object lives.
  HANDLE handle() const { return handle_.Get(); }
  // True when the thread ended within `ms` milliseconds.
  bool Wait(DWORD ms = INFINITE) const;
  // Waits for the thread to end (also done by the destructor).
  void Join();

 private:
  Thread(std::shared_ptr<ThreadObject> object, UniqueHandle handle);

  std::shared_ptr<ThreadObject> object_;
  UniqueHandle handle_;
};

}  // namespace vyn
