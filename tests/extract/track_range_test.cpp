#include "extract/track_range.h"

#include <gtest/gtest.h>

#include "tests/extract/scripted_drive.h"

namespace vyn {
namespace {

using testing::AudioToc;

// Two sessions: two audio tracks, then a data track 11400 frames after the
// first session's end.
DiscToc AudioThenDataSession() {
  DiscToc toc;
  toc.entry_count = 4;
  toc.adr_control = {0x10, 0x10, 0x14, 0x14};
  toc.track_number = {1, 2, 3, kLeadOutTrack};
  toc.start_lba = {0, 700, 1151 + 11400, 1151 + 11400 + 2000};
  return toc;
}

// One audio track, then a data session: the track's extent reaches the
// data track, the gap included.
DiscToc LoneAudioThenDataSession() {
  DiscToc toc;
  toc.entry_count = 3;
  toc.adr_control = {0x10, 0x14, 0x14};
  toc.track_number = {1, 2, kLeadOutTrack};
  toc.start_lba = {0, 1500 + 11400, 1500 + 11400 + 300};
  return toc;
}

// A data track first, then audio (mixed mode).
DiscToc DataThenAudio() {
  DiscToc toc;
  toc.entry_count = 3;
  toc.adr_control = {0x14, 0x10, 0x10};
  toc.track_number = {1, 2, kLeadOutTrack};
  toc.start_lba = {0, 3000, 5000};
  return toc;
}

// Catches a range that drops the track's last sector, ignores the
// 10-sector minimum, or lets reads run into the lead-out or a session gap.
TEST(TrackRangeTest, DeliversTheWholeTrackAndReadsOnlyTheSessionsAudio) {
  const struct {
    const char* name;
    DiscToc toc;
    int track_index;
    TrackRange expected;
  } kCases[] = {
      {"first of three", AudioToc({4500, 750, 1200}), 0, {0, 4500, 6450}},
      {"middle", AudioToc({4500, 750, 1200}), 1, {4500, 5250, 6450}},
      {"last before the lead-out", AudioToc({4500, 750, 1200}), 2, {5250, 6450, 6450}},
      {"short track raised to 10 sectors", AudioToc({4, 100}), 0, {0, 10, 104}},
      {"short last track", AudioToc({100, 5}), 1, {100, 110, 105}},
      {"missing track starts at 0", AudioToc({100}), 5, {0, 10, kNoReadLimit}},
      {"audio before the last of a session", AudioThenDataSession(), 0, {0, 700, 1151}},
      {"last audio before a data session", AudioThenDataSession(), 1, {700, 1151, 1151}},
      {"audio after a data track", DataThenAudio(), 1, {3000, 5000, 5000}},
      {"lone audio before a data session", LoneAudioThenDataSession(), 0, {0, 12900, 1500}},
  };
  for (const auto& test : kCases) {
    SCOPED_TRACE(test.name);
    const TrackRange range = RangeOfTrack(test.toc, test.track_index);
    EXPECT_EQ(range, test.expected);
  }
}

// Catches a delivered length that disagrees with the track's Size.
TEST(TrackRangeTest, DeliveredBytesEqualTheTracksSize) {
  const DiscToc toc = AudioToc({4500, 750, 1200});
  for (int index = 0; index < 3; ++index) {
    SCOPED_TRACE(index);
    EXPECT_EQ(RangeOfTrack(toc, index).sectors() * kFrameBytes, TrackSizeBytes(toc, index + 1));
  }
}

}  // namespace
}  // namespace vyn
