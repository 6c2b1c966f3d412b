#include "drive/owner_link.h"

#include <mutex>

namespace vyn {

bool OwnerLink::MayPoll() const {
  std::shared_lock lock(mutex_);
  return owner_ && !owner_->IsExtractionRunning();
}

void OwnerLink::PostEvent(UINT message, WPARAM wparam) {
  std::shared_lock lock(mutex_);
  if (owner_)
    owner_->PostEvent(message, wparam);
}

HRESULT OwnerLink::RequestExtraction(ExtractionJob job, JobStart start) {
  std::shared_lock lock(mutex_);
  if (!owner_)
    return CO_E_OBJNOTCONNECTED;
  return owner_->RequestExtraction(std::move(job), start);
}

void OwnerLink::Forget() {
  std::unique_lock lock(mutex_);
  owner_ = nullptr;
}

}  // namespace vyn
