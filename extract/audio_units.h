// The units of extracted audio: CD-DA sectors of 2352 bytes, each 588
// stereo frames of two signed 16-bit little-endian samples, and the chunk
// and overlap sizes the sector reader works in.
#pragma once

#include <cstdint>

#include "drive/disc_toc.h"

namespace vyn {

inline constexpr std::uint32_t kSectorBytes = kFrameBytes;  // 2352
inline constexpr std::uint32_t kStereoFrameBytes = 4;
// Most sectors one READ CD asks for, and the size of a delivered chunk.
inline constexpr std::int32_t kChunkSectors = 26;
inline constexpr std::uint32_t kChunkBytes = kChunkSectors * kSectorBytes;  // 61,152
// Sectors read again at the start of each chunk while correction is on.
inline constexpr std::int32_t kOverlapSectors = 7;
// Leading bytes of a chunk searched for the previous chunk's last sector.
inline constexpr std::uint32_t kSearchWindowBytes = 14 * kSectorBytes;  // 32,928
// A job covers at least this many sectors from the track's start.
inline constexpr std::int32_t kMinimumRangeSectors = 10;

}  // namespace vyn
