// The requests of one virtual drive that the library has accepted but not
// yet completed, and the thread that completes them: in order, each after
// its completion delay, by running the command, filling the request block,
// storing its status and signalling its event. A request submitted while
// completions are switched off is held until it is aborted.
//
// Thread-safe: Submit, CompleteNow and Abort come from the callers'
// threads, and one drive's commands never run at the same time; the
// completion thread is owned by this object and joined by its destructor,
// which completes every request still held with SS_ABORTED.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "platform/scsi/aspi.h"
#include "platform/win/handle.h"

namespace vyn::virtual_drive {

class CompletionQueue {
 public:
  // Runs a request's command and fills its block; returns its status.
  using Executor = std::function<BYTE(SRB_ExecSCSICmd& request)>;
  enum class Completion { kNormal, kNever };

  explicit CompletionQueue(Executor executor);
  ~CompletionQueue();
  CompletionQueue(const CompletionQueue&) = delete;
  CompletionQueue& operator=(const CompletionQueue&) = delete;

  // Marks the request pending and queues it; `delay` is real time.
  void Submit(SRB_ExecSCSICmd* request, std::chrono::nanoseconds delay, Completion completion);
  // Runs the request on the calling thread and completes it, when nothing
  // of this drive is waiting or running (so requests still complete in
  // order); nothing when it must be submitted instead.
  std::optional<BYTE> CompleteNow(SRB_ExecSCSICmd& request);
  // Completes a request not yet started with SS_ABORTED; false when this
  // queue does not hold it (a request being completed finishes first).
  bool Abort(const void* request);

 private:
  struct Pending {
    SRB_ExecSCSICmd* request;
    HANDLE event;  // taken at submission: the block may be gone after completion
    bool notify;
    std::chrono::steady_clock::time_point due;
  };

  static void Finish(const Pending& pending, BYTE status);
  void Run();

  Executor executor_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Pending> waiting_;    // guarded by mutex_
  std::vector<Pending> held_;      // guarded by mutex_
  const void* running_ = nullptr;  // guarded by mutex_
  bool stopping_ = false;          // guarded by mutex_
  std::thread thread_;             // started last
};

}  // namespace vyn::virtual_drive
