// The display for output that is not a terminal: one line per event worth
// a line, progress in steps of ten percent, flushed at once so a reader of
// the pipe sees each step as it happens.
#include "tools/vynrip/progress_display.h"

namespace vyn::rip {
namespace {

constexpr int kProgressStep = 10;

class PlainLines final : public ProgressDisplay {
 public:
  explicit PlainLines(std::FILE* out) : out_(out) {}

  void TrackStarted(const TrackLabel& track) override {
    last_step_ = -1;
    Line("track %d (%d of %d): ripping to %s", track.number, track.position, track.count,
         track.file.c_str());
  }
  void TrackProgress(const TrackLabel& track, int percent) override {
    int step = percent / kProgressStep * kProgressStep;
    if (step == last_step_)
      return;
    last_step_ = step;
    Line("track %d: %d%%", track.number, step);
  }
  void TrackFinished(const TrackLabel& track, JobOutcome outcome, int done) override {
    Line("track %d: %s", track.number, OutcomeWord(outcome));
    Line("batch: %d of %d done", done, track.count);
  }
  void Notice(const std::string& line) override { Line("%s", line.c_str()); }
  void Close() override { std::fflush(out_); }

 private:
  template <class... Args>
  void Line(const char* format, Args... args) {
    std::fprintf(out_, format, args...);
    std::fputc('\n', out_);
    std::fflush(out_);
  }

  std::FILE* out_;
  int last_step_ = -1;
};

}  // namespace

std::unique_ptr<ProgressDisplay> MakePlainLines(std::FILE* out) {
  return std::make_unique<PlainLines>(out);
}

const char* OutcomeWord(JobOutcome outcome) {
  switch (outcome) {
    case JobOutcome::kDone:
      return "done";
    case JobOutcome::kCancelled:
      return "cancelled (the file holds what was read)";
    case JobOutcome::kFailed:
      return "failed";
    case JobOutcome::kNotRun:
      return "not ripped";
    case JobOutcome::kPending:
    case JobOutcome::kReading:
      break;
  }
  return "ripping";
}

}  // namespace vyn::rip
