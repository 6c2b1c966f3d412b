#include "platform/win/message_queue.h"

#include <algorithm>
#include <cassert>
#include <unordered_map>

#include "platform/win/clock.h"
#include "platform/win/thread.h"
#include "platform/win/window_object.h"

namespace vyn {
namespace {

// Queues by thread identifier, for PostThreadMessage. Never destroyed:
// threads end while the process exits.
class QueueRegistry {
 public:
  void Add(const std::shared_ptr<MessageQueue>& queue) {
    std::lock_guard lock(mutex_);
    queues_[queue->thread_id()] = queue;
  }
  void Remove(DWORD thread_id) {
    std::lock_guard lock(mutex_);
    queues_.erase(thread_id);
  }
  std::shared_ptr<MessageQueue> Find(DWORD thread_id) {
    std::lock_guard lock(mutex_);
    auto found = queues_.find(thread_id);
    return found == queues_.end() ? nullptr : found->second;
  }

 private:
  std::mutex mutex_;
  std::unordered_map<DWORD, std::shared_ptr<MessageQueue>> queues_;  // guarded by mutex_
};

QueueRegistry& Registry() {
  static auto* registry = new QueueRegistry;
  return *registry;
}

// Ends the thread's queue when the thread ends, however it was started.
struct CurrentQueue {
  std::shared_ptr<MessageQueue> queue;
  ~CurrentQueue() { MessageQueue::DestroyCurrentThreadQueue(); }
};
thread_local CurrentQueue t_current;

constexpr DWORD kMinimumTimerMs = 10;
std::atomic<UINT_PTR> g_next_thread_timer_id{0x7FFE0000};

}  // namespace

void SentMessage::Answer(LRESULT value) {
  result_ = value;
  answered_.store(true, std::memory_order_release);
  sender->Nudge();
}

std::shared_ptr<MessageQueue> MessageQueue::ForCurrentThread() {
  if (!t_current.queue) {
    t_current.queue = std::make_shared<MessageQueue>(GetCurrentThreadId());
    Registry().Add(t_current.queue);
  }
  return t_current.queue;
}

std::shared_ptr<MessageQueue> MessageQueue::ForThread(DWORD thread_id) {
  return Registry().Find(thread_id);
}

void MessageQueue::DestroyCurrentThreadQueue() {
  std::shared_ptr<MessageQueue> queue = std::move(t_current.queue);
  if (!queue)
    return;
  Registry().Remove(queue->thread_id());
  queue->Shutdown();
}

void MessageQueue::Shutdown() {
  std::deque<std::shared_ptr<SentMessage>> unanswered;
  std::vector<std::shared_ptr<WindowObject>> windows;
  {
    std::lock_guard lock(mutex_);
    gone_ = true;
    unanswered.swap(sent_);
    windows.swap(windows_);
    for (auto& window : windows)
      window->alive = false;
    posted_.clear();
    timers_.clear();
    quit_ = false;
    ChangedLocked();
  }
  // The windows go without their procedures being called: the thread that
  // would run them is ending.
  for (auto& window : windows)
    WindowObject::Forget(window->hwnd());
  for (auto& message : unanswered)
    message->Answer(0);
  WakeWaiters();
}

bool MessageQueue::Post(const MSG& message, const WindowObject* window) {
  {
    std::lock_guard lock(mutex_);
    if (gone_ || (window && !window->alive))
      return false;
    posted_.push_back(message);
    ChangedLocked();
  }
  WakeWaiters();
  return true;
}

bool MessageQueue::Send(std::shared_ptr<SentMessage> message) {
  {
    std::lock_guard lock(mutex_);
    if (gone_ || !message->window->alive)
      return false;
    sent_.push_back(std::move(message));
    ChangedLocked();
  }
  WakeWaiters();
  return true;
}

void MessageQueue::PostQuit(int exit_code) {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
    quit_code_ = exit_code;
    ChangedLocked();
  }
  WakeWaiters();
}

void MessageQueue::AdoptWindow(std::shared_ptr<WindowObject> window) {
  std::lock_guard lock(mutex_);
  windows_.push_back(std::move(window));
}

void MessageQueue::DiscardWindow(const std::shared_ptr<WindowObject>& window) {
  std::vector<std::shared_ptr<SentMessage>> unanswered;
  {
    std::lock_guard lock(mutex_);
    window->alive = false;
    HWND hwnd = window->hwnd();
    std::erase_if(posted_, [&](const MSG& m) { return m.hwnd == hwnd; });
    std::erase_if(timers_, [&](const Timer& t) { return t.window == hwnd; });
    std::erase(windows_, window);
    std::erase_if(sent_, [&](const std::shared_ptr<SentMessage>& m) {
      if (m->window != window)
        return false;
      unanswered.push_back(m);
      return true;
    });
    ChangedLocked();
  }
  for (auto& message : unanswered)
    message->Answer(0);
}

UINT_PTR MessageQueue::SetTimer(HWND window, UINT_PTR id, DWORD ms, TIMERPROC proc) {
  Clock::Duration period = std::chrono::milliseconds(std::max(ms, kMinimumTimerMs));
  Clock::TimePoint due = CurrentClock().Now() + period;
  {
    std::lock_guard lock(mutex_);
    auto found = std::find_if(timers_.begin(), timers_.end(),
                              [&](const Timer& t) { return t.window == window && t.id == id; });
    if (found != timers_.end() && (window || id != 0)) {
      *found = Timer{window, id, period, due, proc};
    } else {
      if (!window)
        id = ++g_next_thread_timer_id;
      timers_.push_back(Timer{window, id, period, due, proc});
    }
    ChangedLocked();
  }
  WakeWaiters();
  return window && id == 0 ? 1 : id;
}

bool MessageQueue::KillTimer(HWND window, UINT_PTR id) {
  std::lock_guard lock(mutex_);
  auto removed =
      std::erase_if(timers_, [&](const Timer& t) { return t.window == window && t.id == id; });
  ChangedLocked();
  return removed != 0;
}

bool MessageQueue::HandleSentMessages() {
  assert(thread_id_ == GetCurrentThreadId());
  bool handled = false;
  for (;;) {
    std::shared_ptr<SentMessage> message;
    {
      std::lock_guard lock(mutex_);
      if (sent_.empty())
        break;
      message = std::move(sent_.front());
      sent_.pop_front();
      ChangedLocked();
    }
    handled = true;
    LRESULT result = 0;
    if (message->window->alive) {
      result = message->window->Call(message->message, message->wparam, message->lparam);
    }
    message->Answer(result);
  }
  return handled;
}

bool MessageQueue::TakeInput(MSG* out,
                             const MessageFilter& filter,
                             Removal removal,
                             QuitMessage quit) {
  assert(thread_id_ == GetCurrentThreadId());
  Clock::TimePoint now = CurrentClock().Now();
  std::lock_guard lock(mutex_);
  auto posted = std::find_if(posted_.begin(), posted_.end(),
                             [&](const MSG& m) { return filter.Matches(m.hwnd, m.message); });
  if (posted != posted_.end()) {
    *out = *posted;
    if (removal == Removal::kRemove) {
      posted_.erase(posted);
      ChangedLocked();
    }
    return true;
  }
  if (quit_ && quit == QuitMessage::kTake) {
    *out = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(quit_code_), 0, GetTickCount()};
    if (removal == Removal::kRemove) {
      quit_ = false;
      ChangedLocked();
    }
    return true;
  }
  Timer* due = nullptr;
  for (Timer& timer : timers_) {
    if (timer.due <= now && filter.Matches(timer.window, WM_TIMER) &&
        (!due || timer.due < due->due)) {
      due = &timer;
    }
  }
  if (!due)
    return false;
  *out = MSG{due->window, WM_TIMER, due->id, reinterpret_cast<LPARAM>(due->proc), GetTickCount()};
  if (removal == Removal::kRemove) {
    // At most one WM_TIMER per timer waits; the next comes a period after
    // this one was taken.
    due->due = now + due->period;
    ChangedLocked();
  }
  return true;
}

bool MessageQueue::HasInput(bool posted, bool timers) {
  Clock::TimePoint now = CurrentClock().Now();
  std::lock_guard lock(mutex_);
  return HasInputLocked(now, posted, timers);
}

Deadline MessageQueue::NextTimerDeadline(const MessageFilter& filter) {
  std::lock_guard lock(mutex_);
  std::optional<Clock::TimePoint> next;
  for (const Timer& timer : timers_) {
    if (filter.Matches(timer.window, WM_TIMER) && (!next || timer.due < *next))
      next = timer.due;
  }
  return next ? Deadline::AtVirtual(*next) : Deadline::Never();
}

int MessageQueue::fd() {
  std::lock_guard lock(mutex_);
  if (!fd_.Open())
    return -1;
  ChangedLocked();
  return fd_.fd();
}

void MessageQueue::ChangedLocked() {
  if (!fd_.is_open())
    return;
  Clock::TimePoint now = CurrentClock().Now();
  fd_.Update(HasInputLocked(now, true, true) || !sent_.empty(), NextFutureTimerLocked(now));
}

bool MessageQueue::HasInputLocked(Clock::TimePoint now, bool posted, bool timers) const {
  if (posted && (!posted_.empty() || quit_))
    return true;
  if (timers) {
    for (const Timer& timer : timers_) {
      if (timer.due <= now)
        return true;
    }
  }
  return false;
}

std::optional<Clock::TimePoint> MessageQueue::NextFutureTimerLocked(Clock::TimePoint now) const {
  std::optional<Clock::TimePoint> next;
  for (const Timer& timer : timers_) {
    if (timer.due > now && (!next || timer.due < *next))
      next = timer.due;
  }
  return next;
}

}  // namespace vyn
