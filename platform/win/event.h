// Events: waitable objects that one thread sets and others wait for. A
// manual-reset event stays set until reset and releases every waiter; an
// auto-reset event releases one waiter and resets itself.
//
// Thread-safe.
#pragma once

#include <memory>

#include "platform/win/handle.h"
#include "platform/win/wait.h"

HANDLE CreateEventA(void* security, BOOL manual_reset, BOOL initial_state, const char* name);
HANDLE CreateEventW(void* security, BOOL manual_reset, BOOL initial_state, const WCHAR* name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);

namespace vyn {

class EventObject;

enum class EventReset { kManual, kAuto };
enum class EventInitially { kUnset, kSet };

// An event owned by C++ code. Copies share the same event; handle() gives
// a handle (owned by this object) to pass to the wait functions.
class Event {
 public:
  explicit Event(EventReset reset, EventInitially initially = EventInitially::kUnset);

  void Set() const;
  void Reset() const;
  bool IsSet() const;
  // True when the event was signalled within `ms` milliseconds of the
  // current clock (acquiring it, for an auto-reset event).
  bool Wait(DWORD ms = INFINITE) const;
  HANDLE handle() const { return handle_->Get(); }

 private:
  std::shared_ptr<EventObject> object_;
  std::shared_ptr<UniqueHandle> handle_;
};

}  // namespace vyn
