// A kernel object that can be waited for: signalled or not, and when
// signalled, acquired by a wait (which resets an auto-reset object).
//
// Thread-safe.
#pragma once

#include "platform/win/handle.h"
#include "platform/win/waiter.h"

namespace vyn {

class WaitableObject : public KernelObject, public WaitSource {
 public:
  // When signalled, takes the signal (as a satisfied wait does) and
  // returns true.
  virtual bool TryAcquire() = 0;
};

}  // namespace vyn
