// A disc in a virtual drive: its table of contents (tracks, sessions, the
// lead-out) and the regions of its address space that hold readable
// sectors, each backed by a SectorSource. Addresses are logical block
// addresses as READ TOC reports them with the MSF bit clear (the first
// track of an ordinary disc starts at 0).
//
// Frames that no region covers (the gap between sessions, the lead-out and
// beyond) cannot be read.
//
// Immutable after Create and safe to read from any thread; drives share it
// through shared_ptr<const Disc>.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/com/result.h"
#include "virtual/sector_source.h"

namespace vyn::virtual_drive {

// ADR/CONTROL bytes of the TOC: ADR 1 in the high nibble, CONTROL below.
inline constexpr BYTE kAdrControlAudio = 0x10;
inline constexpr BYTE kAdrControlData = 0x14;
inline constexpr BYTE kControlPreEmphasis = 0x01;
inline constexpr BYTE kControlCopyPermitted = 0x02;
inline constexpr BYTE kControlDataTrack = 0x04;
inline constexpr BYTE kControlFourChannel = 0x08;

// A new session's first track starts this many frames after the previous
// session's lead-out: lead-out 6750 + next lead-in 4500 + pregap 150.
inline constexpr std::int32_t kSessionGapFrames = 11400;
inline constexpr int kMaxTracks = 99;

struct DiscTrack {
  int number = 0;  // 1..99
  BYTE adr_control = kAdrControlAudio;
  int session = 1;                 // 1-based
  std::int32_t start_lba = 0;      // INDEX 01
  std::int32_t length_frames = 0;  // up to the next track, or its session's end

  bool IsData() const { return (adr_control & kControlDataTrack) != 0; }
};

// `frame_count` frames from `first_lba` on come from `source`, starting at
// byte `source_offset` of it.
struct DiscRegion {
  std::int32_t first_lba = 0;
  std::int32_t frame_count = 0;
  std::shared_ptr<const SectorSource> source;
  std::uint64_t source_offset = 0;
};

class Disc {
 public:
  // Checks that the description is consistent: 1 to 99 tracks numbered
  // upwards, starts ascending and below the lead-out, sessions not going
  // backwards, regions ascending, disjoint and inside 0..lead-out.
  static Result<Disc> Create(std::vector<DiscTrack> tracks,
                             std::vector<DiscRegion> regions,
                             std::int32_t lead_out_lba);

  const std::vector<DiscTrack>& tracks() const { return tracks_; }
  std::int32_t lead_out_lba() const { return lead_out_lba_; }
  // The track that holds `lba`, or null before the first track.
  const DiscTrack* TrackAt(std::int32_t lba) const;

  // True when every frame of [first_lba, first_lba + count) is readable.
  bool IsReadable(std::int32_t first_lba, std::int32_t count) const;
  // Copies `length` bytes of the disc's byte stream (frame f begins at byte
  // f × 2352) starting at `offset`; false, with `out` undefined, when any of
  // them lies outside the readable regions or the source fails.
  bool Read(std::int64_t offset, std::size_t length, BYTE* out) const;

 private:
  Disc(std::vector<DiscTrack> tracks, std::vector<DiscRegion> regions, std::int32_t lead_out_lba)
      : tracks_(std::move(tracks)), regions_(std::move(regions)), lead_out_lba_(lead_out_lba) {}
  // Index of the region holding `lba`, or -1.
  int RegionAt(std::int32_t lba) const;

  std::vector<DiscTrack> tracks_;
  std::vector<DiscRegion> regions_;
  std::int32_t lead_out_lba_ = 0;
};

}  // namespace vyn::virtual_drive
