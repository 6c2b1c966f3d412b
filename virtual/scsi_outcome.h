// The outcome of one SCSI command at a virtual drive: GOOD with the number
// of bytes transferred, or CHECK CONDITION with the sense key and
// additional sense code that a real drive would report.
//
// A value type.
#pragma once

#include <algorithm>
#include <cstddef>
#include <span>

#include "platform/win/types.h"

namespace vyn::virtual_drive {

struct SenseCode {
  BYTE key = 0;
  BYTE asc = 0;
  BYTE ascq = 0;
};

inline constexpr SenseCode kSenseNoMedium{0x02, 0x3A, 0x00};
inline constexpr SenseCode kSenseReadError{0x03, 0x11, 0x00};
inline constexpr SenseCode kSenseInvalidOpcode{0x05, 0x20, 0x00};
inline constexpr SenseCode kSenseLbaOutOfRange{0x05, 0x21, 0x00};
inline constexpr SenseCode kSenseInvalidField{0x05, 0x24, 0x00};
inline constexpr SenseCode kSenseIllegalModeForTrack{0x05, 0x64, 0x00};

inline constexpr BYTE kScsiStatusGood = 0x00;
inline constexpr BYTE kScsiStatusCheckCondition = 0x02;

struct ScsiOutcome {
  BYTE status = kScsiStatusGood;
  std::size_t transferred = 0;
  SenseCode sense;

  static ScsiOutcome Good(std::size_t bytes) { return {kScsiStatusGood, bytes, {}}; }
  static ScsiOutcome Check(SenseCode code) { return {kScsiStatusCheckCondition, 0, code}; }
  bool good() const { return status == kScsiStatusGood; }

  // Fixed-format sense data (response code 0x70), cut to the area's size.
  void FillSense(std::span<BYTE> area) const {
    BYTE data[18] = {0x70, 0, sense.key, 0, 0, 0, 0, 10, 0, 0, 0, 0, sense.asc, sense.ascq};
    std::fill(area.begin(), area.end(), BYTE{0});
    if (good())
      return;
    std::copy_n(data, std::min(area.size(), sizeof data), area.begin());
  }
};

}  // namespace vyn::virtual_drive
