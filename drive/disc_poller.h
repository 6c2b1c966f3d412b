// Disc-change detection: a polling thread per drive that reads the table
// of contents every five seconds and compares it with the stored reply. On
// a difference it refreshes the drive and posts the disc-changed message to
// the owner's helper window, which raises OnDiskChanged on the host's
// thread. A tick does nothing while AutoRefresh is off or the owner runs an
// extraction, and a tick that finds no change sends one READ TOC, compares
// 2048 bytes and allocates nothing.
//
// DiscPoller is owned by the Drive and stopped on the host's thread. The
// thread holds its own reference to the drive's state, so a tick that is
// still inside a command when the stop wait runs out finishes on state that
// is out of service by then: it touches neither the record nor the owner,
// and the thread ends when the tick does.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "drive/disc_toc.h"
#include "platform/com/result.h"
#include "platform/win/handle.h"
#include "platform/win/window_types.h"

namespace vyn {

class DriveState;

inline constexpr UINT kPollIntervalMs = 5000;
inline constexpr DWORD kPollStopWaitMs = 5000;
// Posted to the owner's helper window, both parameters 0.
inline constexpr UINT kDiskChangedMessage = WM_USER + 101;

enum class PollOutcome { kSkipped, kUnchanged, kChanged };

// One tick, on the polling thread. `buffer` is the thread's own reply
// buffer, reused from tick to tick.
PollOutcome PollOnce(DriveState& state, TocReply* buffer);

class DiscPoller {
 public:
  // Starts the thread, whose first tick comes one interval later. Fails
  // with the system error as an HRESULT.
  static Result<std::unique_ptr<DiscPoller>> Start(std::shared_ptr<DriveState> state);
  ~DiscPoller();
  DiscPoller(const DiscPoller&) = delete;
  DiscPoller& operator=(const DiscPoller&) = delete;

  // Asks the thread to end and waits for it at most kPollStopWaitMs; true
  // when it has ended. Idempotent.
  bool Stop();
  // Timer ticks taken so far, skipped ones included.
  std::uint64_t ticks() const;

  struct Context;  // what the thread owns

 private:
  DiscPoller(std::shared_ptr<Context> context, UniqueHandle thread, DWORD thread_id);

  std::shared_ptr<Context> context_;
  UniqueHandle thread_;  // null once stopped
  DWORD thread_id_;
};

}  // namespace vyn
