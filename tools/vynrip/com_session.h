// vynrip's hold on the control: one VynCDRipper created through the class
// registry by its ProgID, exactly as any host creates it, and the drive the
// command works on. The control's events need the host thread's queue
// pumped; the commands do that while they wait.
//
// Home thread: the thread that opened it (the control is apartment-
// threaded). Owns its references; the control goes with the session.
#pragma once

#include "control/interfaces.h"
#include "platform/com/com_ptr.h"
#include "platform/com/result.h"

namespace vyn::rip {

class ComSession {
 public:
  // Creates the control; the error's text says what to do when the class
  // is not registered.
  static Result<ComSession> Open();

  IVynCDRipper* control() const { return control_.Get(); }
  // Drive `number` (from 1); an error naming how many drives there are.
  Result<ComPtr<IDrive>> Drive(int number) const;

 private:
  explicit ComSession(ComPtr<IVynCDRipper> control) : control_(std::move(control)) {}

  ComPtr<IVynCDRipper> control_;
};

}  // namespace vyn::rip
