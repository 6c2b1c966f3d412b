// vynrip's command line: which command, which drive and tracks, where the
// files go and how an existing file is treated. Parsing only; nothing here
// touches the control.
//
// Immutable values; thread-safe.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/result.h"

namespace vyn::rip {

enum class Command { kNone, kDrives, kToc, kCddb, kRip };

enum class OverwritePolicy {
  kAsk,      // ask on the terminal; keep the file when there is none to ask
  kReplace,  // --overwrite
  kKeep,     // --no-overwrite: existing files are skipped
};

// An inclusive range of track numbers, from 1.
struct TrackRange {
  int first = 0;
  int last = 0;
  friend bool operator==(const TrackRange&, const TrackRange&) = default;
};

// The read speed: a multiple of the audio rate, or the drive's maximum.
struct ReadSpeed {
  int factor = -1;  // -1: maximum
};

struct Options {
  Command command = Command::kNone;
  bool help = false;  // --help: show the command's usage and stop
  int drive = 1;
  std::vector<TrackRange> tracks;  // empty: every audio track
  std::string output_dir = ".";
  std::string name_template;  // empty: "Track NN"
  bool jitter = false;
  std::optional<ReadSpeed> speed;
  OverwritePolicy overwrite = OverwritePolicy::kAsk;
};

// Parses the arguments after the program's name. The error's message is
// for the user, without a "vynrip:" prefix.
Result<Options> ParseCommandLine(const std::vector<std::string>& arguments);

// "1,3-5" → {1-1, 3-5}. Numbers from 1; a range's ends in order.
Result<std::vector<TrackRange>> ParseTrackList(std::string_view text);

// True when `number` is in one of `ranges` (an empty list selects all).
bool IsSelected(const std::vector<TrackRange>& ranges, int number);

}  // namespace vyn::rip
