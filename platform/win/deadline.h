// A point in real time at which a wait gives up, made from a time-out in
// milliseconds of the current clock's virtual time. INFINITE never passes.
//
// Immutable; a value type.
#pragma once

#include <chrono>

#include "platform/win/clock.h"
#include "platform/win/types.h"

inline constexpr DWORD INFINITE = 0xFFFFFFFF;

namespace vyn {

class Deadline {
 public:
  using RealTime = std::chrono::steady_clock::time_point;

  static Deadline Never() { return Deadline(RealTime::max()); }
  static Deadline At(RealTime when) { return Deadline(when); }
  static Deadline AfterMs(DWORD ms);
  // When `span` of virtual time has passed from now.
  static Deadline After(Clock::Duration span);
  // When the current clock reaches the virtual time `when`.
  static Deadline AtVirtual(Clock::TimePoint when);

  bool IsNever() const { return when_ == RealTime::max(); }
  bool Passed() const { return !IsNever() && std::chrono::steady_clock::now() >= when_; }
  RealTime when() const { return when_; }
  Deadline Earlier(Deadline other) const { return other.when_ < when_ ? other : *this; }

 private:
  explicit Deadline(RealTime when) : when_(when) {}
  RealTime when_;
};

}  // namespace vyn
