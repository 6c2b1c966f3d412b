#include "platform/win/thread.h"

#include <atomic>
#include <cerrno>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/win/last_error.h"
#include "platform/win/message_queue.h"
#include "platform/win/waitable_object.h"

namespace vyn {
namespace {

std::atomic<DWORD> g_next_thread_id{0};
thread_local DWORD t_thread_id = 0;

}  // namespace

// One thread. Signalled (for good) when the body has returned and the
// thread's message queue is gone. The running thread holds a reference, so
// closing every handle early lets the thread finish on its own.
class ThreadObject final : public WaitableObject {
 public:
  explicit ThreadObject(std::function<DWORD()> body) : body_(std::move(body)) {}

  ~ThreadObject() override {
    if (!thread_.joinable())
      return;
    // The last reference may be dropped by the thread itself.
    if (thread_.get_id() == std::this_thread::get_id()) {
      thread_.detach();
    } else {
      thread_.join();
    }
  }

  // Starts the thread; false (last error set) when it cannot be made.
  static bool Launch(const std::shared_ptr<ThreadObject>& self) {
    std::lock_guard lock(self->start_mutex_);
    try {
      self->thread_ = std::thread([self] { self->Run(); });
    } catch (const std::system_error& error) {
      SetLastError(error.code().value() == EAGAIN ? ERROR_NOT_ENOUGH_MEMORY
                                                  : Win32ErrorFromErrno(error.code().value()));
      return false;
    }
    return true;
  }

  // Waits for the system thread to be gone, unless called on it.
  void JoinSystemThread() {
    std::lock_guard lock(start_mutex_);
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id())
      thread_.join();
  }

  DWORD id() const { return id_.load(std::memory_order_acquire); }
  // Blocks until the new thread has taken its identifier.
  DWORD WaitForId() {
    while (id() == 0)
      std::this_thread::yield();
    return id();
  }

  bool TryAcquire() override { return finished_.load(std::memory_order_acquire); }
  bool finished() const { return finished_.load(std::memory_order_acquire); }
  DWORD exit_code() const { return exit_code_.load(std::memory_order_acquire); }

 private:
  void Run() {
    { std::lock_guard lock(start_mutex_); }  // thread_ is assigned
    // The queue exists before anyone learns the identifier to post to.
    MessageQueue::ForCurrentThread();
    id_.store(GetCurrentThreadId(), std::memory_order_release);
    DWORD code = body_();
    body_ = nullptr;
    MessageQueue::DestroyCurrentThreadQueue();
    exit_code_.store(code, std::memory_order_release);
    finished_.store(true, std::memory_order_release);
    WakeWaiters();
  }

  std::mutex start_mutex_;
  std::thread thread_;           // guarded by start_mutex_ while others hold references
  std::function<DWORD()> body_;  // the new thread's, once started
  std::atomic<DWORD> id_{0};
  std::atomic<DWORD> exit_code_{STILL_ACTIVE};
  std::atomic<bool> finished_{false};
};

namespace {

std::shared_ptr<ThreadObject> LaunchThread(std::function<DWORD()> body) {
  auto object = std::make_shared<ThreadObject>(std::move(body));
  if (!ThreadObject::Launch(object))
    return nullptr;
  return object;
}

}  // namespace

Result<Thread> Thread::Start(std::function<void()> body) {
  auto object = LaunchThread([body = std::move(body)] {
    body();
    return DWORD{0};
  });
  if (!object)
    return Error{HRESULT_FROM_WIN32(GetLastError()), "cannot start a thread"};
  UniqueHandle handle(OpenHandle(object));
  return Thread(std::move(object), std::move(handle));
}

Thread::Thread(std::shared_ptr<ThreadObject> object, UniqueHandle handle)
    : object_(std::move(object)), handle_(std::move(handle)) {}

Thread& Thread::operator=(Thread&& other) noexcept {
  if (this != &other) {
    Join();
    object_ = std::move(other.object_);
    handle_ = std::move(other.handle_);
  }
  return *this;
}

Thread::~Thread() {
  Join();
}

DWORD Thread::id() const {
  return object_ ? object_->WaitForId() : 0;
}

bool Thread::Wait(DWORD ms) const {
  if (!object_)
    return true;
  WaitableObject* objects[] = {object_.get()};
  return WaitForObjects(objects, Deadline::AfterMs(ms)) == WAIT_OBJECT_0;
}

void Thread::Join() {
  if (!object_)
    return;
  Wait(INFINITE);
  object_->JoinSystemThread();
  handle_.Reset();
  object_.reset();
}

}  // namespace vyn

HANDLE CreateThread(void*,
                    std::size_t,
                    LPTHREAD_START_ROUTINE start,
                    void* parameter,
                    DWORD,
                    DWORD* thread_id) {
  if (!start) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto object = vyn::LaunchThread([start, parameter] { return start(parameter); });
  if (!object)
    return nullptr;
  if (thread_id)
    *thread_id = object->WaitForId();
  return vyn::OpenHandle(std::move(object));
}

DWORD GetCurrentThreadId() {
  if (vyn::t_thread_id == 0)
    vyn::t_thread_id = ++vyn::g_next_thread_id;
  return vyn::t_thread_id;
}

BOOL GetExitCodeThread(HANDLE thread, DWORD* exit_code) {
  auto object = vyn::ObjectFromHandleAs<vyn::ThreadObject>(thread);
  if (!object || !exit_code) {
    SetLastError(object ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    return FALSE;
  }
  *exit_code = object->exit_code();
  return TRUE;
}
