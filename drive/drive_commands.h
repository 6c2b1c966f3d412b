// The commands that act on a drive rather than read it: the tray, the read
// speed and the media-presence test. A drive that refuses the tray or
// speed command is not reported; only media presence depends on the status.
//
// Thread-safe: each call runs one command through the drive's transport
// and waits for it (at most the transport's command wait).
#pragma once

#include <cstdint>
#include <optional>

#include "drive/drive_address.h"
#include "platform/scsi/mmc_commands.h"

namespace vyn {

// Single CD speed in kilobytes per second, the unit of SetReadSpeed.
inline constexpr std::int32_t kSingleSpeedKbs = 176;
// SET CD SPEED's code for the drive's maximum.
inline constexpr std::uint16_t kMaximumSpeedCode = 0xFFFF;

// START STOP UNIT: opens or closes the tray; the status is ignored.
void MoveTray(const DriveAddress& drive, mmc::TrayMotion motion);

// The SET CD SPEED value for a speed in multiples of single speed: the
// drive's maximum for -1, none for 0 (nothing is sent), otherwise
// speed × 176 kB/s truncated to 16 bits.
std::optional<std::uint16_t> CdSpeedValue(std::int32_t speed);
// Sends SET CD SPEED with that value as read and write speed, unless the
// speed asks for nothing; the status is ignored.
void SetReadSpeed(const DriveAddress& drive, std::int32_t speed);

// TEST UNIT READY's status.
BYTE TestUnitReady(const DriveAddress& drive);
// False only when TEST UNIT READY completes with an error (no medium, not
// ready); a command that times out or is not carried out counts as loaded.
bool IsMediaLoaded(const DriveAddress& drive);

}  // namespace vyn
