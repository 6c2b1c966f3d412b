// The disc's table of contents, parsed from a READ TOC reply (format 0,
// addresses as LBA), and the one rule from which every length the system
// reports is derived: where a track starts and where its last frame lies.
//
// Immutable value type once parsed; the functions are pure and thread-safe.
#pragma once

#include <array>
#include <cstdint>

namespace vyn {

inline constexpr int kTocReplyBytes = 2048;
inline constexpr int kMaxTocEntries = 100;  // 99 tracks and the lead-out
inline constexpr std::uint8_t kLeadOutTrack = 0xAA;
inline constexpr std::uint8_t kDataTrackBit = 0x04;
inline constexpr std::int32_t kFrameBytes = 2352;
inline constexpr std::int32_t kFramesPerSecond = 75;
// Between the last audio track of a session and the data track of the
// next: the first session's lead-out (6750 frames), the next lead-in (4500)
// and the data track's pregap (150).
inline constexpr std::int32_t kSessionGapFrames = 6750 + 4500 + 150;

using TocReply = std::array<std::uint8_t, kTocReplyBytes>;

struct DiscToc {
  // Entries in reply order, lead-out included; 0 when there is no table.
  std::int32_t entry_count = 0;
  // One slot more than entries can fill, so the slot after the last entry
  // always reads as zeros.
  std::array<std::uint8_t, kMaxTocEntries + 1> adr_control{};
  std::array<std::uint8_t, kMaxTocEntries + 1> track_number{};
  std::array<std::int32_t, kMaxTocEntries + 1> start_lba{};

  std::int32_t TrackCount() const { return entry_count > 0 ? entry_count - 1 : 0; }
  friend bool operator==(const DiscToc&, const DiscToc&) = default;
};

// Parses the reply's descriptors. A reply that announces more descriptors
// than a disc can have (over 100) is malformed and gives an empty table;
// descriptors are never read past the end of the reply.
DiscToc ParseTocReply(const TocReply& reply);

// Start address of track `number`; -1 when no entry has that number.
std::int32_t TrackStartLba(const DiscToc& toc, int number);
// Last frame of track `number`: the frame before the next entry starts, or,
// for the last audio track before a data track of the next session, the
// frame before that session gap. -1 when the track is not found.
std::int32_t TrackEndLba(const DiscToc& toc, int number);

// Frames of track `number`, first and last included.
std::int32_t TrackFrames(const DiscToc& toc, int number);
// Whole seconds and PCM bytes of track `number` (32-bit, as reported).
std::uint32_t TrackDurationSeconds(const DiscToc& toc, int number);
std::int32_t TrackSizeBytes(const DiscToc& toc, int number);
// From the first entry's start to the last track's last frame, in whole
// seconds; 0 without tracks.
std::uint32_t DiscDurationSeconds(const DiscToc& toc);

// The entry at `position` is an audio track (not the lead-out, data bit clear).
bool IsAudioEntry(const DiscToc& toc, int position);
// Some track of the disc is an audio track.
bool HasAudioTrack(const DiscToc& toc);

}  // namespace vyn
