// Which queued messages a retrieval takes: by window and by message number
// range, as GetMessage and PeekMessage are asked.
//
// Immutable; a value type.
#pragma once

#include <cstdint>

#include "platform/win/window_types.h"

namespace vyn {

struct MessageFilter {
  // Null takes messages of every window and of the thread; (HWND)-1 takes
  // only the thread's own messages (no window).
  HWND hwnd = nullptr;
  // Both 0 takes every message number.
  UINT min = 0;
  UINT max = 0;

  bool Matches(HWND window, UINT message) const {
    static HWND const kThreadOnly = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1));
    if (hwnd == kThreadOnly ? window != nullptr : (hwnd != nullptr && window != hwnd)) {
      return false;
    }
    return (min == 0 && max == 0) || (message >= min && message <= max);
  }
};

}  // namespace vyn
