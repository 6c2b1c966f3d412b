// What an extraction run needs of the control that started it: the run's
// cancel flag, the correction flag the reader follows chunk by chunk, the
// overwrite question, the way to post events to the host's thread, and the
// end of the run. The control implements it; tests use a recording fake.
//
// Thread-safe: called from the worker while the host's thread changes the
// flags. The control outlives every run it starts.
#pragma once

#include <atomic>

#include "control/overwrite_question.h"
#include "platform/win/types.h"

namespace vyn {

class ExtractionContext {
 public:
  virtual bool cancel_requested() const = 0;
  // Non-zero while jitter correction is on; read once per chunk.
  virtual const std::atomic<LONG>& jitter_correction_flag() const = 0;
  // Asks the host's thread whether an existing file may be replaced;
  // kKeep when the run is cancelled or the control is going away.
  virtual OverwriteAnswer AskOverwrite() = 0;
  // Posts one of the helper window's event messages; an error text is
  // copied before this returns.
  virtual void PostEvent(UINT message, WPARAM wparam) = 0;
  // The run is over: the last thing a worker does with the context.
  virtual void EndRun() = 0;

 protected:
  ~ExtractionContext() = default;
};

}  // namespace vyn
