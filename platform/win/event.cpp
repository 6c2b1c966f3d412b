#include "platform/win/event.h"

#include <mutex>

#include "platform/win/last_error.h"
#include "platform/win/waitable_object.h"

namespace vyn {

class EventObject final : public WaitableObject {
 public:
  EventObject(EventReset reset, bool signalled) : reset_(reset), signalled_(signalled) {}

  void Set() {
    {
      std::lock_guard lock(mutex_);
      signalled_ = true;
    }
    WakeWaiters();
  }
  void Reset() {
    std::lock_guard lock(mutex_);
    signalled_ = false;
  }
  bool IsSet() {
    std::lock_guard lock(mutex_);
    return signalled_;
  }
  bool TryAcquire() override {
    std::lock_guard lock(mutex_);
    if (!signalled_)
      return false;
    if (reset_ == EventReset::kAuto)
      signalled_ = false;
    return true;
  }

 private:
  const EventReset reset_;
  std::mutex mutex_;
  bool signalled_;  // guarded by mutex_
};

namespace {

HANDLE CreateEventObject(BOOL manual_reset, BOOL initial_state) {
  auto event = std::make_shared<EventObject>(manual_reset ? EventReset::kManual : EventReset::kAuto,
                                             initial_state != FALSE);
  return OpenHandle(std::move(event));
}

template <class Action>
BOOL WithEvent(HANDLE handle, Action action) {
  auto event = ObjectFromHandleAs<EventObject>(handle);
  if (!event) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  action(*event);
  return TRUE;
}

}  // namespace

Event::Event(EventReset reset, EventInitially initially)
    : object_(std::make_shared<EventObject>(reset, initially == EventInitially::kSet)),
      handle_(std::make_shared<UniqueHandle>(OpenHandle(object_))) {}

void Event::Set() const {
  object_->Set();
}
void Event::Reset() const {
  object_->Reset();
}
bool Event::IsSet() const {
  return object_->IsSet();
}

bool Event::Wait(DWORD ms) const {
  WaitableObject* objects[] = {object_.get()};
  return WaitForObjects(objects, Deadline::AfterMs(ms)) == WAIT_OBJECT_0;
}

}  // namespace vyn

// Named events are not shared between processes here; the name is ignored.
HANDLE CreateEventA(void*, BOOL manual_reset, BOOL initial_state, const char*) {
  return vyn::CreateEventObject(manual_reset, initial_state);
}

HANDLE CreateEventW(void*, BOOL manual_reset, BOOL initial_state, const WCHAR*) {
  return vyn::CreateEventObject(manual_reset, initial_state);
}

BOOL SetEvent(HANDLE event) {
  return vyn::WithEvent(event, [](vyn::EventObject& e) { e.Set(); });
}

BOOL ResetEvent(HANDLE event) {
  return vyn::WithEvent(event, [](vyn::EventObject& e) { e.Reset(); });
}
