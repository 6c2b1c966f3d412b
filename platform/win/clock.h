// The process-wide clock. Every wait, sleep and timer of the platform layer
// asks it how much real time to block for a span of "virtual" time, so a
// test can make time run faster without changing the code under test.
//
// Thread-safe: the current clock may be read from any thread; tests swap it
// with ScopedClockOverride before starting the threads that use it.
#pragma once

#include <chrono>

#include "platform/win/types.h"

namespace vyn {

class Clock {
 public:
  using Duration = std::chrono::nanoseconds;
  // A point on the clock's own steady time line, as a span since its epoch.
  using TimePoint = std::chrono::nanoseconds;

  virtual ~Clock() = default;
  // The current virtual time; never goes backwards.
  virtual TimePoint Now() const = 0;
  // How long to block in real time so that `span` of virtual time passes.
  virtual Duration RealDuration(Duration span) const = 0;
};

// Virtual time is real time.
class RealClock final : public Clock {
 public:
  TimePoint Now() const override;
  Duration RealDuration(Duration span) const override { return span; }
};

// Virtual time runs `factor` times faster than real time, continuing from
// the time of the clock that was current when it was made.
class ScaledClock final : public Clock {
 public:
  explicit ScaledClock(double factor);
  TimePoint Now() const override;
  Duration RealDuration(Duration span) const override;

 private:
  double factor_;
  TimePoint virtual_start_;
  std::chrono::steady_clock::time_point real_start_;
};

// The clock every wait uses; the real clock unless a test overrides it.
const Clock& CurrentClock();

// Makes `clock` the process's clock for its lifetime, then restores the
// previous one. The clock must outlive every wait that started under it.
class ScopedClockOverride {
 public:
  explicit ScopedClockOverride(const Clock& clock);
  ~ScopedClockOverride();
  ScopedClockOverride(const ScopedClockOverride&) = delete;
  ScopedClockOverride& operator=(const ScopedClockOverride&) = delete;

 private:
  const Clock* previous_;
};

}  // namespace vyn

// Milliseconds of virtual time, wrapping after about 49.7 days.
DWORD GetTickCount();
// Blocks the calling thread for `ms` milliseconds of virtual time; 0 only
// gives the processor to another ready thread.
void Sleep(DWORD ms);
