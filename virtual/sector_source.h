// Where the bytes of a disc region come from: a BIN file, generated PCM, a
// generated data pattern, or silence. A source is addressed in bytes from
// its own start; the disc maps each of its regions onto one source.
//
// Immutable after creation and safe to read from any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/win/types.h"

namespace vyn::virtual_drive {

inline constexpr int kSectorBytes = 2352;
inline constexpr int kStereoFramesPerSector = 588;

class SectorSource {
 public:
  virtual ~SectorSource() = default;
  // Copies `length` bytes starting at `offset` into `out`; false when the
  // source cannot deliver them (a read error of the file behind it).
  virtual bool Read(std::uint64_t offset, std::size_t length, BYTE* out) const = 0;
};

// Digital silence: the pregaps that a CUE sheet declares but no file holds.
class SilenceSource final : public SectorSource {
 public:
  bool Read(std::uint64_t, std::size_t length, BYTE* out) const override {
    std::memset(out, 0, length);
    return true;
  }
};

}  // namespace vyn::virtual_drive
