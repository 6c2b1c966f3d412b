// Synthetic PCM for the extraction tests: the bytes a synthetic disc holds
// from a given stereo frame on, and a description of the first frame of a
// stream that is not where it should be.
#pragma once

#include <cstdint>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "virtual/synthetic_disc.h"

namespace vyn::testing {

inline std::vector<BYTE> SyntheticPcm(std::uint32_t first_frame, std::size_t frames) {
  std::vector<BYTE> pcm(frames * 4);
  for (std::size_t i = 0; i < frames; ++i)
    virtual_drive::EncodeSyntheticFrame(first_frame + static_cast<std::uint32_t>(i), &pcm[i * 4]);
  return pcm;
}

// Empty when `pcm` is synthetic frames `expected_first`, `expected_first`
// + 1, ...; otherwise names the first wrong stereo frame and what it holds.
inline std::string FirstWrongSample(std::span<const BYTE> pcm, std::uint32_t expected_first) {
  const std::int64_t wrong = virtual_drive::FirstWrongSyntheticFrame(pcm, expected_first);
  if (wrong < 0)
    return {};
  std::ostringstream text;
  text << "stereo frame " << wrong << " (byte " << wrong * 4 << ") should be disc frame "
       << expected_first + wrong << " but ";
  auto found = virtual_drive::DecodeSyntheticFrame(&pcm[static_cast<std::size_t>(wrong) * 4]);
  if (found) {
    text << "is disc frame " << *found << " ("
         << static_cast<std::int64_t>(*found) - (expected_first + wrong) << " frames off)";
  } else {
    text << "is not synthetic audio (silence or noise)";
  }
  return text.str();
}

}  // namespace vyn::testing
