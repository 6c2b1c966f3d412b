#include "drive/disc_poller.h"

#include <new>

#include "drive/drive_state.h"
#include "drive/toc_reader.h"
#include "platform/win/last_error.h"
#include "platform/win/message_delivery.h"
#include "platform/win/message_loop.h"
#include "platform/win/thread.h"
#include "platform/win/timer.h"
#include "platform/win/wait.h"

namespace vyn {

struct DiscPoller::Context {
  explicit Context(std::shared_ptr<DriveState> drive) : state(std::move(drive)) {}

  const std::shared_ptr<DriveState> state;
  TocReply buffer{};  // the thread's alone
  std::atomic<std::uint64_t> ticks{0};
};

namespace {

// The thread's body. A thread timer carries no context, so the loop handles
// its own WM_TIMER itself instead of dispatching it.
DWORD PollThreadMain(void* parameter) {
  std::unique_ptr<std::shared_ptr<DiscPoller::Context>> owned(
      static_cast<std::shared_ptr<DiscPoller::Context>*>(parameter));
  DiscPoller::Context& context = **owned;
  const UINT_PTR timer = SetTimer(nullptr, 0, kPollIntervalMs, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_TIMER && !message.hwnd && message.wParam == timer) {
      context.ticks.fetch_add(1, std::memory_order_relaxed);
      PollOnce(*context.state, &context.buffer);
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  // Also drops a WM_TIMER of it that is still queued.
  if (timer)
    KillTimer(nullptr, timer);
  return 0;
}

}  // namespace

PollOutcome PollOnce(DriveState& state, TocReply* buffer) {
  if (state.auto_refresh() == 0 || !state.owner().MayPoll())
    return PollOutcome::kSkipped;
  DriveAddress address;
  if (!state.LoadStoredReply(buffer, &address))
    return PollOutcome::kSkipped;
  ReadTocReply(address, buffer);
  if (!state.DiffersFromStoredReply(*buffer))
    return PollOutcome::kUnchanged;
  // A failing Refresh still reports the change.
  (void)state.Refresh();
  state.owner().PostEvent(kDiskChangedMessage, 0);
  return PollOutcome::kChanged;
}

Result<std::unique_ptr<DiscPoller>> DiscPoller::Start(std::shared_ptr<DriveState> state) {
  auto context = std::make_shared<Context>(std::move(state));
  auto parameter = std::make_unique<std::shared_ptr<Context>>(context);
  DWORD thread_id = 0;
  UniqueHandle thread(CreateThread(nullptr, 0, PollThreadMain, parameter.get(), 0, &thread_id));
  if (!thread)
    return Error{HRESULT_FROM_WIN32(GetLastError()), "cannot start the polling thread"};
  (void)parameter.release();  // the thread owns it now
  return std::unique_ptr<DiscPoller>(
      new DiscPoller(std::move(context), std::move(thread), thread_id));
}

DiscPoller::DiscPoller(std::shared_ptr<Context> context, UniqueHandle thread, DWORD thread_id)
    : context_(std::move(context)), thread_(std::move(thread)), thread_id_(thread_id) {}

DiscPoller::~DiscPoller() {
  Stop();
}

bool DiscPoller::Stop() {
  if (!thread_)
    return true;
  PostThreadMessageW(thread_id_, WM_QUIT, 0, 0);
  const bool ended = WaitForSingleObject(thread_.Get(), kPollStopWaitMs) == WAIT_OBJECT_0;
  // A thread still inside a tick runs on with its own references and ends
  // after it; closing the handle does not wait for it.
  thread_.Reset();
  return ended;
}

std::uint64_t DiscPoller::ticks() const {
  return context_->ticks.load(std::memory_order_relaxed);
}

}  // namespace vyn
