// The MMC command blocks the system sends to drives, built in one place so
// the control, the virtual drive's tests and the tools agree on every byte.
#pragma once

#include <array>
#include <cstdint>

#include "platform/win/types.h"

namespace vyn::mmc {

inline constexpr BYTE kTestUnitReady = 0x00;
inline constexpr BYTE kInquiry = 0x12;
inline constexpr BYTE kStartStopUnit = 0x1B;
inline constexpr BYTE kReadToc = 0x43;
inline constexpr BYTE kSetCdSpeed = 0xBB;
inline constexpr BYTE kReadCd = 0xBE;

inline constexpr int kInquiryDataLength = 36;
inline constexpr int kTocReplyLength = 2048;

using Command6 = std::array<BYTE, 6>;
using Command10 = std::array<BYTE, 10>;
using Command12 = std::array<BYTE, 12>;

constexpr BYTE LunBits(BYTE lun) {
  return static_cast<BYTE>(lun << 5);
}

constexpr Command6 TestUnitReadyCommand() {
  return {kTestUnitReady, 0, 0, 0, 0, 0};
}

// Standard INQUIRY data, `kInquiryDataLength` bytes.
constexpr Command6 InquiryCommand(BYTE lun) {
  return {kInquiry, LunBits(lun), 0, 0, kInquiryDataLength, 0};
}

// READ TOC format 0, addresses as LBA (MSF clear), from track 1, into a
// `kTocReplyLength`-byte buffer.
constexpr Command10 ReadTocCommand(BYTE lun) {
  return {kReadToc, LunBits(lun), 0, 0, 0, 0, 1, kTocReplyLength >> 8, kTocReplyLength & 0xFF, 0};
}

// START STOP UNIT with LoEj set: opens the tray (ejecting the disc) or
// closes it (loading the disc). Immed is clear, so the drive completes the
// command once the tray has moved.
enum class TrayMotion : BYTE { kOpen = 0x02, kClose = 0x03 };
constexpr Command6 StartStopUnitCommand(BYTE lun, TrayMotion motion) {
  return {kStartStopUnit, LunBits(lun), 0, 0, static_cast<BYTE>(motion), 0};
}

// SET CD SPEED in kilobytes per second (0xFFFF: the drive's maximum).
constexpr Command12 SetCdSpeedCommand(BYTE lun, std::uint16_t read_kbs, std::uint16_t write_kbs) {
  return {kSetCdSpeed,
          LunBits(lun),
          static_cast<BYTE>(read_kbs >> 8),
          static_cast<BYTE>(read_kbs),
          static_cast<BYTE>(write_kbs >> 8),
          static_cast<BYTE>(write_kbs),
          0,
          0,
          0,
          0,
          0,
          0};
}

// READ CD of `count` full 2352-byte sectors (sync, headers, user data,
// EDC/ECC) from `lba`, any sector type, no sub-channel.
constexpr Command12 ReadCdCommand(BYTE lun, std::int32_t lba, std::uint16_t count) {
  const auto address = static_cast<std::uint32_t>(lba);
  return {kReadCd,
          LunBits(lun),
          static_cast<BYTE>(address >> 24),
          static_cast<BYTE>(address >> 16),
          static_cast<BYTE>(address >> 8),
          static_cast<BYTE>(address),
          0,
          static_cast<BYTE>(count >> 8),
          static_cast<BYTE>(count),
          0xF8,
          0,
          0};
}

}  // namespace vyn::mmc
