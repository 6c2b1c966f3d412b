// What a Drive needs from the control that made it: whether an extraction
// is running (the poll stays quiet then), a way to reach the host's thread
// with an event, and where its tracks' extraction requests go. The control
// implements it; the drive holds a plain pointer that it forgets when it is
// shut down, before the control goes.
//
// Thread-safe: the first two are called from the drive's polling thread as
// well as the host's; extraction requests come from the host's thread.
#pragma once

#include "extract/extraction_job.h"
#include "platform/com/hresult.h"
#include "platform/win/types.h"

namespace vyn {

class DriveOwner {
 public:
  // True while an extraction run of the control is active.
  virtual bool IsExtractionRunning() const = 0;
  // Posts an event message (WM_USER + 101 and the like) to the control's
  // helper window; never blocks, never calls the host.
  virtual void PostEvent(UINT message, WPARAM wparam) = 0;
  // Starts a run of `job` alone, or adds it to the batch queue. Refusals
  // carry the control's texts as automation errors; an owner that does
  // not extract answers E_NOTIMPL.
  virtual HRESULT RequestExtraction(ExtractionJob job, JobStart start) {
    (void)job;
    (void)start;
    return E_NOTIMPL;
  }

 protected:
  ~DriveOwner() = default;
};

}  // namespace vyn
