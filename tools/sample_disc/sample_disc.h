// The sample disc that comes with the build: four short tracks of soft
// chords, written as one BIN file and a CUE sheet that the virtual drive
// plays, so a machine without a CD drive has something to rip.
//
// Stateless; thread-safe for distinct folders.
#pragma once

#include <string>
#include <vector>

#include "platform/com/result.h"
#include "tools/sample_disc/tone_synth.h"

namespace vyn::sample_disc {

struct SampleTrack {
  const char* title;
  Chord chord;
};

// The disc's tracks, in order.
std::vector<SampleTrack> SampleTracks();

// The CUE sheet for `tracks` stored back to back in `bin_name`.
std::string CueSheet(const std::vector<SampleTrack>& tracks, const std::string& bin_name);

// Writes `<folder>/sample.bin` and `<folder>/sample.cue` (the folder is
// made when missing); returns the CUE's path.
Result<std::string> WriteSampleDisc(const std::string& folder);

}  // namespace vyn::sample_disc
