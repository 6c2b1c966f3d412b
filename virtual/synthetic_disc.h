// Synthetic discs: a disc made from a short deterministic description, whose
// audio says where it comes from. Tests name the first wrong sample of an
// extraction with DecodeSyntheticFrame.
//
// Grammar (whitespace not allowed):
//
//   description := "synthetic:" session ( "|" session )*
//   session     := track ( "," track )*
//   track       := kind frames flag*
//   kind        := "a" (audio) | "d" (data, mode 1)
//   frames      := decimal length in frames, at least 1
//   flag        := "p" (pre-emphasis) | "c" (copy permitted)
//
// Tracks are numbered from 1. The first track starts at LBA 0 and the
// tracks of a session follow each other without gaps; "|" starts a new
// session whose first track begins 11400 frames after the previous
// session's end. At most 99 tracks and kMaxSyntheticFrames frames.
// Example: "synthetic:a4500,a750p,d3000|d2000".
//
// Audio: stereo frame n of the disc (n = LBA × 588 + frame within the
// sector, counted from LBA 0) holds left = n & 0xFFFF and right =
// 0xA000 | (n >> 16), both little-endian. Data sectors: the mode-1 sync
// pattern and header (BCD MSF of LBA + 150), then user data of repeated
// "DATA" + 32-bit little-endian LBA, then 288 zero bytes for EDC/ECC.
//
// Pure functions on values; thread-safe.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/result.h"
#include "virtual/disc.h"

namespace vyn::virtual_drive {

inline constexpr std::string_view kSyntheticPrefix = "synthetic:";
// Keeps every stereo frame index below 2^28, which the encoding needs.
inline constexpr std::int32_t kMaxSyntheticFrames = 450'000;

// The parsed description: the TOC part of the disc without its sources.
struct SyntheticLayout {
  std::vector<DiscTrack> tracks;
  std::int32_t lead_out_lba = 0;
};

Result<SyntheticLayout> ParseSyntheticDescription(std::string_view description);
Result<Disc> BuildSyntheticDisc(std::string_view description);

// The four bytes of stereo frame `n` of a synthetic disc's audio.
void EncodeSyntheticFrame(std::uint32_t n, BYTE out[4]);
// The stereo frame index that four bytes of synthetic audio encode, or
// nullopt when they are not synthetic audio (silence, data, noise).
std::optional<std::uint32_t> DecodeSyntheticFrame(const BYTE bytes[4]);
// The index (in stereo frames) of the first frame of `pcm` that is not
// synthetic frame expected_first + index, or -1 when all are right.
std::int64_t FirstWrongSyntheticFrame(std::span<const BYTE> pcm, std::uint32_t expected_first);
// Sector `lba` of a synthetic data track.
void FillSyntheticDataSector(std::int32_t lba, BYTE out[kSectorBytes]);

}  // namespace vyn::virtual_drive
