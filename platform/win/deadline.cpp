#include "platform/win/deadline.h"

namespace vyn {

Deadline Deadline::AfterMs(DWORD ms) {
  if (ms == INFINITE)
    return Never();
  return After(std::chrono::milliseconds(ms));
}

Deadline Deadline::After(Clock::Duration span) {
  if (span <= Clock::Duration::zero())
    return Deadline(std::chrono::steady_clock::now());
  auto real = CurrentClock().RealDuration(span);
  return Deadline(std::chrono::steady_clock::now() +
                  std::chrono::duration_cast<RealTime::duration>(real));
}

Deadline Deadline::AtVirtual(Clock::TimePoint when) {
  return After(when - CurrentClock().Now());
}

}  // namespace vyn
