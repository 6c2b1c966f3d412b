// The display for a terminal: two bars, the track's and the batch's,
// redrawn in place; finished tracks and notices scroll above them.
#include <algorithm>

#include "tools/vynrip/progress_display.h"

namespace vyn::rip {
namespace {

constexpr int kMaxBarWidth = 40;
constexpr int kMinBarWidth = 10;
constexpr int kTextColumns = 36;  // what the labels and figures take beside a bar
constexpr char kClearLine[] = "\r\033[K";
constexpr char kLineUp[] = "\033[1A";

std::string Bar(int width, int percent) {
  int filled = width * std::clamp(percent, 0, 100) / 100;
  return "[" + std::string(static_cast<std::size_t>(filled), '#') +
         std::string(static_cast<std::size_t>(width - filled), '-') + "]";
}

class TerminalBars final : public ProgressDisplay {
 public:
  TerminalBars(std::FILE* out, int columns)
      : out_(out), width_(std::clamp(columns - kTextColumns, kMinBarWidth, kMaxBarWidth)) {}

  void TrackStarted(const TrackLabel& track) override {
    track_ = track;
    percent_ = 0;
    Redraw();
  }
  void TrackProgress(const TrackLabel& track, int percent) override {
    track_ = track;
    percent_ = percent;
    Redraw();
  }
  void TrackFinished(const TrackLabel& track, JobOutcome outcome, int done) override {
    done_ = done;
    track_ = track;
    Erase();
    std::fprintf(out_, "Track %02d %s: %s\n", track.number, OutcomeWord(outcome),
                 track.file.c_str());
    percent_ = outcome == JobOutcome::kDone ? 100 : percent_;
    Redraw();
  }
  void Notice(const std::string& line) override {
    Erase();
    std::fprintf(out_, "%s\n", line.c_str());
    Redraw();
  }
  void Close() override {
    if (drawn_)
      std::fputc('\n', out_);
    drawn_ = false;
    std::fflush(out_);
  }

 private:
  // Clears the two bar lines and leaves the cursor where they started.
  void Erase() {
    if (drawn_)
      std::fprintf(out_, "%s%s%s", kClearLine, kLineUp, kClearLine);
    drawn_ = false;
  }
  void Redraw() {
    Erase();
    int batch_percent = track_.count ? done_ * 100 / track_.count : 0;
    std::fprintf(out_, "Track %02d (%d/%d) %s %3d%%\n", track_.number, track_.position,
                 track_.count, Bar(width_, percent_).c_str(), percent_);
    std::fprintf(out_, "Batch          %s %d of %d done", Bar(width_, batch_percent).c_str(), done_,
                 track_.count);
    std::fflush(out_);
    drawn_ = true;
  }

  std::FILE* out_;
  int width_;
  TrackLabel track_;
  int percent_ = 0;
  int done_ = 0;
  bool drawn_ = false;
};

}  // namespace

std::unique_ptr<ProgressDisplay> MakeTerminalBars(std::FILE* out, int columns) {
  return std::make_unique<TerminalBars>(out, columns);
}

}  // namespace vyn::rip
