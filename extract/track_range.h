// Which sectors a job delivers and how far its reads may reach. A job
// delivers its track's first to last sector, both included (at least
// kMinimumRangeSectors from the start), which is the track's Size. Reads
// may run past the track into the audio that follows it in the same
// session, never beyond: a drive refuses a READ CD that reaches the
// lead-out, and the valid sectors of that command would be lost with it.
// Pure functions; thread-safe.
#pragma once

#include <cstdint>
#include <limits>

#include "drive/disc_toc.h"

namespace vyn {

inline constexpr std::int32_t kNoReadLimit = std::numeric_limits<std::int32_t>::max();

struct TrackRange {
  std::int32_t first_lba = 0;  // first sector delivered
  std::int32_t end_lba = 0;    // one past the last sector delivered
  // One past the last sector a READ CD may ask for: the end of the
  // session's audio, or kNoReadLimit when the table does not say.
  std::int32_t read_limit_lba = kNoReadLimit;
  std::int32_t sectors() const { return end_lba - first_lba; }
  friend bool operator==(const TrackRange&, const TrackRange&) = default;
};

// The range of the track with 0-based index `track_index`. A track missing
// from the table starts at sector 0.
TrackRange RangeOfTrack(const DiscToc& toc, int track_index);

}  // namespace vyn
