// What a batch of queued tracks has come to, worked out from the control's
// events alone: the control raises no event for the batch itself, so the
// host counts. A job ends done when its OnExtractionEnd followed
// OnProgress(100), cancelled when the end came without it, failed on an
// error; an error outside a job (a set-up or a finish that failed) ends the
// batch, and the jobs never started stay not run.
//
// Home thread: the host's (fed from the event sink). Pure logic.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vyn::rip {

enum class JobOutcome { kPending, kReading, kDone, kCancelled, kFailed, kNotRun };

class BatchTracker {
 public:
  explicit BatchTracker(int jobs);

  void Started();
  void Progress(int percent);
  void Ended();
  void Failed(const std::string& message);
  void CancelRequested() { cancel_requested_ = true; }

  // The job being read or set up: the first one not yet ended; nothing
  // once every job has ended.
  std::optional<int> current() const;
  bool reading() const { return reading_; }
  int percent() const { return percent_; }
  int done_count() const;
  bool cancel_requested() const { return cancel_requested_; }
  const std::string& error() const { return error_; }
  JobOutcome outcome(int job) const { return outcomes_[static_cast<std::size_t>(job)]; }

  // True when the events received so far mean no further job starts: all
  // ended, or an error or a cancel with no job being read.
  bool Settled() const;
  // Call once the control's run is over: jobs never reached become
  // kNotRun.
  void Close();
  bool AllDone() const { return done_count() == static_cast<int>(outcomes_.size()); }

 private:
  std::vector<JobOutcome> outcomes_;
  int next_ = 0;  // the first job not yet ended
  bool reading_ = false;
  int percent_ = -1;
  bool cancel_requested_ = false;
  std::string error_;  // the first error text of the batch
};

}  // namespace vyn::rip
