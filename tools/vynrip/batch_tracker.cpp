#include "tools/vynrip/batch_tracker.h"

#include <algorithm>

namespace vyn::rip {

BatchTracker::BatchTracker(int jobs)
    : outcomes_(static_cast<std::size_t>(std::max(jobs, 0)), JobOutcome::kPending) {}

std::optional<int> BatchTracker::current() const {
  if (next_ >= static_cast<int>(outcomes_.size()))
    return std::nullopt;
  return next_;
}

void BatchTracker::Started() {
  if (!current())
    return;
  reading_ = true;
  percent_ = -1;
  outcomes_[static_cast<std::size_t>(next_)] = JobOutcome::kReading;
}

void BatchTracker::Progress(int percent) {
  if (reading_)
    percent_ = std::clamp(percent, 0, 100);
}

void BatchTracker::Ended() {
  if (!reading_ || !current())
    return;
  JobOutcome& outcome = outcomes_[static_cast<std::size_t>(next_)];
  // An error while reading was recorded already and stays.
  if (outcome == JobOutcome::kReading)
    outcome = percent_ == 100 ? JobOutcome::kDone : JobOutcome::kCancelled;
  reading_ = false;
  ++next_;
}

void BatchTracker::Failed(const std::string& message) {
  if (error_.empty())
    error_ = message.empty() ? "unknown error" : message;
  if (reading_) {
    outcomes_[static_cast<std::size_t>(next_)] = JobOutcome::kFailed;
    return;
  }
  // Outside a job: the next job's set-up failed, or, after the last job,
  // finishing its file did.
  if (current()) {
    outcomes_[static_cast<std::size_t>(next_)] = JobOutcome::kFailed;
    ++next_;
  } else if (!outcomes_.empty()) {
    outcomes_.back() = JobOutcome::kFailed;
  }
}

int BatchTracker::done_count() const {
  return static_cast<int>(std::count(outcomes_.begin(), outcomes_.end(), JobOutcome::kDone));
}

bool BatchTracker::Settled() const {
  if (reading_)
    return false;
  return !current() || !error_.empty() || cancel_requested_;
}

void BatchTracker::Close() {
  for (JobOutcome& outcome : outcomes_) {
    if (outcome == JobOutcome::kPending)
      outcome = JobOutcome::kNotRun;
    else if (outcome == JobOutcome::kReading)
      outcome = JobOutcome::kCancelled;
  }
  reading_ = false;
}

}  // namespace vyn::rip
