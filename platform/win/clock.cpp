#include "platform/win/clock.h"

#include <atomic>
#include <cmath>
#include <thread>

#include "platform/win/deadline.h"

namespace vyn {
namespace {

const RealClock g_real_clock;
std::atomic<const Clock*> g_clock{&g_real_clock};

Clock::TimePoint SteadyNow() {
  return std::chrono::duration_cast<Clock::TimePoint>(
      std::chrono::steady_clock::now().time_since_epoch());
}

}  // namespace

Clock::TimePoint RealClock::Now() const {
  return SteadyNow();
}

ScaledClock::ScaledClock(double factor)
    : factor_(factor > 0 ? factor : 1.0),
      virtual_start_(CurrentClock().Now()),
      real_start_(std::chrono::steady_clock::now()) {}

Clock::TimePoint ScaledClock::Now() const {
  auto real = std::chrono::steady_clock::now() - real_start_;
  return virtual_start_ +
         Duration(static_cast<Duration::rep>(static_cast<double>(real.count()) * factor_));
}

Clock::Duration ScaledClock::RealDuration(Duration span) const {
  // Round up, so a wait never ends before its virtual span has passed.
  return Duration(
      static_cast<Duration::rep>(std::ceil(static_cast<double>(span.count()) / factor_)));
}

const Clock& CurrentClock() {
  return *g_clock.load(std::memory_order_acquire);
}

ScopedClockOverride::ScopedClockOverride(const Clock& clock)
    : previous_(g_clock.exchange(&clock, std::memory_order_acq_rel)) {}

ScopedClockOverride::~ScopedClockOverride() {
  g_clock.store(previous_, std::memory_order_release);
}

}  // namespace vyn

DWORD GetTickCount() {
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(vyn::CurrentClock().Now());
  return static_cast<DWORD>(static_cast<std::uint64_t>(ms.count()));
}

void Sleep(DWORD ms) {
  if (ms == 0) {
    std::this_thread::yield();
    return;
  }
  if (ms == INFINITE) {
    for (;;)
      std::this_thread::sleep_for(std::chrono::hours(24));
  }
  std::this_thread::sleep_for(vyn::CurrentClock().RealDuration(std::chrono::milliseconds(ms)));
}
