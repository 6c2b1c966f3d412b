// What a Drive needs from the control that made it: whether an extraction
// is running (the poll stays quiet then) and a way to reach the host's
// thread with an event. The control implements it; the drive holds a plain
// pointer that it forgets when it is shut down, before the control goes.
//
// Thread-safe: both members are called from the drive's polling thread as
// well as the host's.
#pragma once

#include "platform/win/types.h"

namespace vyn {

class DriveOwner {
 public:
  // True while an extraction run of the control is active.
  virtual bool IsExtractionRunning() const = 0;
  // Posts an event message (WM_USER + 101 and the like) to the control's
  // helper window; never blocks, never calls the host.
  virtual void PostEvent(UINT message, WPARAM wparam) = 0;

 protected:
  ~DriveOwner() = default;
};

}  // namespace vyn
