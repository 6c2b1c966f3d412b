// A thread's message queue: messages posted to the thread or its windows,
// messages sent from other threads that wait for an answer, the quit
// request and the thread's timers. Made on a thread's first use and gone
// when the thread ends; a queue that is gone refuses posts and answers the
// sends still waiting in it with 0, so no sender waits on a dead thread.
//
// Thread-safe: any thread posts and sends; only the owner thread takes
// messages out, handles sent messages and owns windows and timers.
#pragma once

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/win/clock.h"
#include "platform/win/deadline.h"
#include "platform/win/message_filter.h"
#include "platform/win/queue_fd.h"
#include "platform/win/waiter.h"
#include "platform/win/window_types.h"

namespace vyn {

class MessageQueue;
class WindowObject;

// A message sent to a window of another thread. The sender waits until
// Answer has been called, which happens exactly once.
struct SentMessage {
  std::shared_ptr<WindowObject> window;
  UINT message = 0;
  WPARAM wparam = 0;
  LPARAM lparam = 0;
  std::shared_ptr<MessageQueue> sender;

  void Answer(LRESULT value);
  bool answered() const { return answered_.load(std::memory_order_acquire); }
  LRESULT result() const { return result_; }  // once answered()

 private:
  LRESULT result_ = 0;  // written before answered_ is set
  std::atomic<bool> answered_{false};
};

enum class Removal { kKeep, kRemove };
enum class QuitMessage { kTake, kLeave };

class MessageQueue : public WaitSource {
 public:
  // The calling thread's queue, made on first use.
  static std::shared_ptr<MessageQueue> ForCurrentThread();
  // The queue of the thread with that identifier; null when it has none.
  static std::shared_ptr<MessageQueue> ForThread(DWORD thread_id);
  // Ends the calling thread's queue now (threads do this as they end).
  static void DestroyCurrentThreadQueue();

  explicit MessageQueue(DWORD thread_id) : thread_id_(thread_id) {}
  DWORD thread_id() const { return thread_id_; }

  // Any thread. False when the queue is gone or `window` (if given) has
  // been destroyed; posts never block.
  bool Post(const MSG& message, const WindowObject* window);
  bool Send(std::shared_ptr<SentMessage> message);
  // Wakes the owner's waits so it re-checks a condition of its own.
  void Nudge() { WakeWaiters(); }

  // Owner thread.
  void PostQuit(int exit_code);
  void AdoptWindow(std::shared_ptr<WindowObject> window);
  // Marks the window destroyed and discards everything queued for it.
  void DiscardWindow(const std::shared_ptr<WindowObject>& window);
  UINT_PTR SetTimer(HWND window, UINT_PTR id, DWORD ms, TIMERPROC proc);
  bool KillTimer(HWND window, UINT_PTR id);
  // Handles every sent message now waiting; true when there was one.
  bool HandleSentMessages();
  // The next posted message, quit message or due timer that matches.
  bool TakeInput(MSG* out, const MessageFilter& filter, Removal removal, QuitMessage quit);
  // True when posted messages, the quit message or a due timer wait.
  bool HasInput(bool posted, bool timers);
  // When the next timer that `filter` takes comes due (at once when one
  // is due already); never without such timers.
  Deadline NextTimerDeadline(const MessageFilter& filter);
  // The readable-while-messages-wait descriptor; -1 when it cannot be made.
  int fd();

 private:
  struct Timer {
    HWND window;
    UINT_PTR id;
    Clock::Duration period;
    Clock::TimePoint due;
    TIMERPROC proc;
  };

  void Shutdown();
  void ChangedLocked();
  bool HasInputLocked(Clock::TimePoint now, bool posted, bool timers) const;
  std::optional<Clock::TimePoint> NextFutureTimerLocked(Clock::TimePoint now) const;

  const DWORD thread_id_;
  std::mutex mutex_;
  bool gone_ = false;                                   // guarded by mutex_
  std::deque<MSG> posted_;                              // guarded by mutex_
  std::deque<std::shared_ptr<SentMessage>> sent_;       // guarded by mutex_
  bool quit_ = false;                                   // guarded by mutex_
  int quit_code_ = 0;                                   // guarded by mutex_
  std::vector<Timer> timers_;                           // guarded by mutex_
  std::vector<std::shared_ptr<WindowObject>> windows_;  // guarded by mutex_
  QueueFd fd_;                                          // guarded by mutex_
};

}  // namespace vyn
