// One batch run of the control, seen from the host: it receives the
// control's events, keeps the BatchTracker and the display up to date,
// names the file of an overwrite question, turns Ctrl-C into
// CancelExtraction, and waits with the host thread's queue pumped until
// the control's run is over.
//
// Home thread: the host's. Holds the control without owning the session;
// lives on the stack of the rip command.
#pragma once

#include <memory>
#include <vector>

#include "control/interfaces.h"
#include "tools/vynrip/batch_tracker.h"
#include "tools/vynrip/progress_display.h"
#include "tools/vynrip/rip_events.h"
#include "tools/vynrip/terminal_question.h"

namespace vyn::rip {

class RipRun final : public RipEvents {
 public:
  RipRun(IVynCDRipper* control,
         std::vector<TrackLabel> jobs,
         ProgressDisplay* display,
         TerminalQuestion* question);

  // The Ctrl-C handler, on the host thread: cancels the whole batch.
  void Interrupt();
  // Pumps the host thread's queue until the run the control started with
  // RunQueue is over and its last event has been handled.
  void WaitUntilOver();

  const BatchTracker& tracker() const { return tracker_; }
  const std::vector<TrackLabel>& jobs() const { return jobs_; }
  int jitter_notices() const { return jitter_notices_; }

  // RipEvents
  void OnProgress(int percent) override;
  void OnExtractionStart() override;
  void OnExtractionEnd() override;
  void OnExtractionError(const std::string& message) override;
  void OnJitterDetected() override;
  void OnDiskChanged() override;

 private:
  const TrackLabel* CurrentJob() const;
  void NameNextQuestion();

  IVynCDRipper* control_;
  std::vector<TrackLabel> jobs_;
  ProgressDisplay* display_;
  TerminalQuestion* question_;
  BatchTracker tracker_;
  int jitter_notices_ = 0;
};

}  // namespace vyn::rip
