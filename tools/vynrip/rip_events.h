// What a host hears from the control while it rips: the six events of
// _IVynCDRipperEvents as C++ calls.
//
// Home thread: the host's; the control raises its events there.
#pragma once

#include <string>

namespace vyn::rip {

class RipEvents {
 public:
  virtual void OnProgress(int percent) = 0;
  virtual void OnExtractionStart() = 0;
  virtual void OnExtractionEnd() = 0;
  virtual void OnExtractionError(const std::string& message) = 0;
  virtual void OnJitterDetected() = 0;
  virtual void OnDiskChanged() = 0;

 protected:
  ~RipEvents() = default;
};

}  // namespace vyn::rip
