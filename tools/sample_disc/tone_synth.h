// Soft chords as CD audio: 44,100 Hz, 16-bit stereo, little endian, left
// sample first. The sine is our own polynomial and every step is plain
// IEEE double arithmetic, so the same chord gives the same bytes on every
// build of the generator (no math library in the way).
//
// Stateless; thread-safe.
#pragma once

#include <cstdint>
#include <vector>

namespace vyn::sample_disc {

struct Chord {
  std::vector<double> frequencies;  // Hz, one per note
  int frames = 0;                   // length in CD frames (1/75 s)
};

// sin(2π · cycles), accurate to about 1e-9.
double SineOfCycles(double cycles);

// The chord's sectors: 2352 bytes per CD frame. The notes sound together
// with a quiet octave overtone, the right channel a hair sharper than the
// left for width, a fade-in and a longer fade-out, peaking well below full
// scale.
std::vector<std::uint8_t> RenderChord(const Chord& chord);

}  // namespace vyn::sample_disc
