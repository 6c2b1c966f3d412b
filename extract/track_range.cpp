#include "extract/track_range.h"

#include <algorithm>

#include "extract/audio_units.h"

namespace vyn {
namespace {

int PositionOfTrack(const DiscToc& toc, int number) {
  for (int i = 0; i < toc.entry_count; ++i) {
    if (toc.track_number[i] == number && toc.track_number[i] != kLeadOutTrack)
      return i;
  }
  return -1;
}

// One past the last sector of the run of audio tracks, each starting where
// the one before ends, that begins with track `number`. Audio followed by
// a data track ends at the session gap before it, even where the track's
// extent does not (a lone audio track before a data session): the gap has
// no sectors to read.
std::int32_t EndOfAudioFrom(const DiscToc& toc, int number) {
  int position = PositionOfTrack(toc, number);
  while (position >= 0) {
    const std::int32_t last = TrackEndLba(toc, toc.track_number[position]);
    if (last < 0)
      return kNoReadLimit;
    const int next = position + 1;
    if (next >= toc.entry_count)
      return last + 1;
    if (toc.track_number[next] != kLeadOutTrack && !IsAudioEntry(toc, next))
      return std::min(last + 1, toc.start_lba[next] - kSessionGapFrames);
    if (!IsAudioEntry(toc, next) || toc.start_lba[next] != last + 1)
      return last + 1;
    position = next;
  }
  return kNoReadLimit;
}

}  // namespace

TrackRange RangeOfTrack(const DiscToc& toc, int track_index) {
  const int number = track_index + 1;
  const std::int32_t start = TrackStartLba(toc, number);
  const std::int32_t last = TrackEndLba(toc, number);
  TrackRange range;
  range.first_lba = std::max(start, 0);
  range.end_lba = std::max(last + 1, range.first_lba + kMinimumRangeSectors);
  range.read_limit_lba = EndOfAudioFrom(toc, number);
  return range;
}

}  // namespace vyn
