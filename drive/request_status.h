// The status byte of a request block is written by the back-end, possibly
// on its own thread, while the submitter polls it; both sides access it
// atomically.
#pragma once

#include <atomic>

#include "platform/win/types.h"

namespace vyn {

inline BYTE LoadRequestStatus(BYTE& status) {
  return std::atomic_ref<BYTE>(status).load(std::memory_order_acquire);
}

inline void StoreRequestStatus(BYTE& status, BYTE value) {
  std::atomic_ref<BYTE>(status).store(value, std::memory_order_release);
}

}  // namespace vyn
