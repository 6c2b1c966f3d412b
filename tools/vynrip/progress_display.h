// How a rip shows its progress: bars redrawn in place on a terminal, or
// one plain line per step when the output goes to a file or a pipe (where
// a script or a test reads it). Messages that must stay (jitter notices,
// errors) go through the display so they never tear a bar.
//
// Home thread: the host's.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "tools/vynrip/batch_tracker.h"

namespace vyn::rip {

// One queued track as the display names it.
struct TrackLabel {
  int number = 0;    // the track's number on the disc
  int position = 0;  // 1-based position in the batch
  int count = 0;     // tracks in the batch
  std::string file;  // the WAV file's path
};

class ProgressDisplay {
 public:
  virtual ~ProgressDisplay() = default;
  virtual void TrackStarted(const TrackLabel& track) = 0;
  virtual void TrackProgress(const TrackLabel& track, int percent) = 0;
  virtual void TrackFinished(const TrackLabel& track, JobOutcome outcome, int done) = 0;
  virtual void Notice(const std::string& line) = 0;
  // Leaves the output on a line of its own.
  virtual void Close() = 0;
};

std::unique_ptr<ProgressDisplay> MakeTerminalBars(std::FILE* out, int columns);
std::unique_ptr<ProgressDisplay> MakePlainLines(std::FILE* out);

// A word for an outcome, for both displays.
const char* OutcomeWord(JobOutcome outcome);

}  // namespace vyn::rip
