#include "virtual/completion_queue.h"

#include <algorithm>
#include <atomic>

#include "platform/win/event.h"

namespace vyn::virtual_drive {

CompletionQueue::CompletionQueue(Executor executor)
    : executor_(std::move(executor)), thread_([this] { Run(); }) {}

CompletionQueue::~CompletionQueue() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    for (const Pending& pending : waiting_)
      Finish(pending, SS_ABORTED);
    for (const Pending& pending : held_)
      Finish(pending, SS_ABORTED);
    waiting_.clear();
    held_.clear();
  }
  changed_.notify_all();
  thread_.join();
}

void CompletionQueue::Submit(SRB_ExecSCSICmd* request,
                             std::chrono::nanoseconds delay,
                             Completion completion) {
  Pending pending{request, request->SRB_PostProc, (request->SRB_Flags & SRB_EVENT_NOTIFY) != 0,
                  std::chrono::steady_clock::now() + delay};
  // Pending before the completion thread can see it, so a fast completion
  // is never overwritten.
  std::atomic_ref<BYTE>(request->SRB_Status).store(SS_PENDING, std::memory_order_release);
  {
    std::lock_guard lock(mutex_);
    if (completion == Completion::kNever) {
      held_.push_back(pending);
      return;
    }
    waiting_.push_back(pending);
  }
  changed_.notify_all();
}

std::optional<BYTE> CompletionQueue::CompleteNow(SRB_ExecSCSICmd& request) {
  const Pending pending{&request, request.SRB_PostProc, (request.SRB_Flags & SRB_EVENT_NOTIFY) != 0,
                        std::chrono::steady_clock::now()};
  {
    std::lock_guard lock(mutex_);
    if (stopping_ || !waiting_.empty() || running_ != nullptr)
      return std::nullopt;
    running_ = &request;
  }
  std::atomic_ref<BYTE>(request.SRB_Status).store(SS_PENDING, std::memory_order_release);
  const BYTE status = executor_(request);
  Finish(pending, status);
  {
    std::lock_guard lock(mutex_);
    running_ = nullptr;
  }
  changed_.notify_all();
  return status;
}

bool CompletionQueue::Abort(const void* request) {
  std::unique_lock lock(mutex_);
  auto matches = [request](const Pending& pending) { return pending.request == request; };
  if (auto found = std::find_if(waiting_.begin(), waiting_.end(), matches);
      found != waiting_.end()) {
    Finish(*found, SS_ABORTED);
    waiting_.erase(found);
    changed_.notify_all();
    return true;
  }
  if (auto found = std::find_if(held_.begin(), held_.end(), matches); found != held_.end()) {
    Finish(*found, SS_ABORTED);
    held_.erase(found);
    return true;
  }
  changed_.wait(lock, [&] { return running_ != request; });
  return false;
}

void CompletionQueue::Finish(const Pending& pending, BYTE status) {
  std::atomic_ref<BYTE>(pending.request->SRB_Status).store(status, std::memory_order_release);
  if (pending.notify)
    SetEvent(pending.event);
}

void CompletionQueue::Run() {
  std::unique_lock lock(mutex_);
  while (!stopping_) {
    // A request completed on its caller's thread runs alone, too.
    if (waiting_.empty() || running_ != nullptr) {
      changed_.wait(lock);
      continue;
    }
    const Pending pending = waiting_.front();
    if (std::chrono::steady_clock::now() < pending.due) {
      changed_.wait_until(lock, pending.due);  // an abort may take it meanwhile
      continue;
    }
    waiting_.pop_front();
    running_ = pending.request;
    lock.unlock();
    const BYTE status = executor_(*pending.request);
    Finish(pending, status);
    lock.lock();
    running_ = nullptr;
    changed_.notify_all();
  }
}

}  // namespace vyn::virtual_drive
