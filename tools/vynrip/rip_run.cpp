#include "tools/vynrip/rip_run.h"

#include <chrono>

#include "platform/win/message_pump.h"

namespace vyn::rip {
namespace {

// How often the wait looks again while no event comes.
constexpr std::chrono::milliseconds kRecheck(50);

}  // namespace

RipRun::RipRun(IVynCDRipper* control,
               std::vector<TrackLabel> jobs,
               ProgressDisplay* display,
               TerminalQuestion* question)
    : control_(control),
      jobs_(std::move(jobs)),
      display_(display),
      question_(question),
      tracker_(static_cast<int>(jobs_.size())) {
  NameNextQuestion();
}

const TrackLabel* RipRun::CurrentJob() const {
  std::optional<int> current = tracker_.current();
  return current ? &jobs_[static_cast<std::size_t>(*current)] : nullptr;
}

void RipRun::NameNextQuestion() {
  // A question always concerns the job in set-up: the first not yet ended.
  const TrackLabel* job = CurrentJob();
  question_->SetSubject(job ? job->file : std::string());
}

void RipRun::Interrupt() {
  if (!tracker_.cancel_requested())
    display_->Notice("cancelling: the file being written is finished with what was read so far");
  tracker_.CancelRequested();
  question_->Interrupt();
  (void)control_->CancelExtraction();
}

void RipRun::WaitUntilOver() {
  // The control has no event for the end of a run, and its busy state is
  // seen only through CancelExtraction, which answers S_FALSE exactly when
  // no run is active. It is asked only once the events say that no job
  // will start any more (or the user cancelled anyway): a cancel then
  // changes nothing, since a file being finished is finished regardless.
  PumpMessagesUntil(
      [this] {
        if (!tracker_.Settled() && !tracker_.cancel_requested())
          return false;
        return control_->CancelExtraction() == S_FALSE;
      },
      Deadline::Never(), kRecheck);
  // Events posted before the run ended may still wait in the queue.
  RunUntilIdle();
  tracker_.Close();
  display_->Close();
}

void RipRun::OnExtractionStart() {
  tracker_.Started();
  if (const TrackLabel* job = CurrentJob())
    display_->TrackStarted(*job);
}

void RipRun::OnProgress(int percent) {
  tracker_.Progress(percent);
  if (const TrackLabel* job = CurrentJob(); job && tracker_.reading())
    display_->TrackProgress(*job, tracker_.percent());
}

void RipRun::OnExtractionEnd() {
  std::optional<int> ended = tracker_.current();
  tracker_.Ended();
  if (ended) {
    const TrackLabel& job = jobs_[static_cast<std::size_t>(*ended)];
    display_->TrackFinished(job, tracker_.outcome(*ended), tracker_.done_count());
  }
  NameNextQuestion();
}

void RipRun::OnExtractionError(const std::string& message) {
  const TrackLabel* job = CurrentJob();
  std::string where = job ? "track " + std::to_string(job->number) + ": " : "";
  display_->Notice("error: " + where + message);
  tracker_.Failed(message);
  NameNextQuestion();
}

void RipRun::OnJitterDetected() {
  ++jitter_notices_;
  const TrackLabel* job = CurrentJob();
  display_->Notice("jitter: " + (job ? "track " + std::to_string(job->number) + ": " : "") +
                   "a chunk could not be aligned with the one before");
}

void RipRun::OnDiskChanged() {
  display_->Notice("notice: the disc in a drive has changed");
}

}  // namespace vyn::rip
