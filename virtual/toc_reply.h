// The data of READ TOC/PMA/ATIP for a disc: format 0 (the TOC: a 4-byte
// header with the data length and the first and last track numbers, then
// 8-byte track descriptors and the lead-out 0xAA) and format 1 (session
// information), with addresses as LBA or, with the MSF bit, as
// minute/second/frame including the 150-frame lead-in.
//
// Pure functions; thread-safe.
#pragma once

#include <array>
#include <cstddef>
#include <optional>

#include "virtual/disc.h"

namespace vyn::virtual_drive {

inline constexpr BYTE kLeadOutTrack = 0xAA;

struct TocReply {
  std::array<BYTE, 4 + 8 * (kMaxTracks + 1)> bytes{};
  std::size_t length = 0;  // the whole reply; the caller cuts it to the allocation length
};

enum class TocAddress { kLba, kMsf };

// Format 0 from `start_track` on (0 counts as 1; 0xAA gives the lead-out
// alone); nullopt when start_track lies beyond the last track.
std::optional<TocReply> BuildTocReply(const Disc& disc, BYTE start_track, TocAddress address);
// Format 1: first and last session, and the first track of the last session.
TocReply BuildSessionInfoReply(const Disc& disc, TocAddress address);

}  // namespace vyn::virtual_drive
