// A drive's link to the control that made it, as its polling thread sees
// it: whether the poll may send commands now, and the way to post an event
// to the host's thread. Forget() cuts the link before the control goes;
// it waits for a call into the owner that is under way (those never block),
// and later calls find no owner and do nothing.
//
// Thread-safe: the polling thread calls, the host's thread forgets.
#pragma once

#include <shared_mutex>

#include "drive/drive_owner.h"

namespace vyn {

class OwnerLink {
 public:
  explicit OwnerLink(DriveOwner* owner) : owner_(owner) {}
  OwnerLink(const OwnerLink&) = delete;
  OwnerLink& operator=(const OwnerLink&) = delete;

  // True while an owner is linked and no extraction of it runs.
  bool MayPoll() const;
  // Posts to the owner's helper window; nothing once forgotten.
  void PostEvent(UINT message, WPARAM wparam);
  // Hands a track's extraction request to the owner (host's thread);
  // CO_E_OBJNOTCONNECTED once forgotten.
  HRESULT RequestExtraction(ExtractionJob job, JobStart start);
  void Forget();

 private:
  mutable std::shared_mutex mutex_;
  DriveOwner* owner_;  // guarded by mutex_; null once forgotten
};

}  // namespace vyn
