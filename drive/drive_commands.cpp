#include "drive/drive_commands.h"

namespace vyn {

void MoveTray(const DriveAddress& drive, mmc::TrayMotion motion) {
  (void)drive.Execute(SRB_DIR_OUT, mmc::StartStopUnitCommand(drive.lun, motion), nullptr, 0);
}

std::optional<std::uint16_t> CdSpeedValue(std::int32_t speed) {
  if (speed == 0)
    return std::nullopt;
  if (speed == -1)
    return kMaximumSpeedCode;
  // The product in 32 bits, truncated to the 16-bit field.
  const auto kbs = static_cast<std::uint32_t>(speed) * static_cast<std::uint32_t>(kSingleSpeedKbs);
  return static_cast<std::uint16_t>(kbs);
}

void SetReadSpeed(const DriveAddress& drive, std::int32_t speed) {
  const auto value = CdSpeedValue(speed);
  if (!value)
    return;
  (void)drive.Execute(SRB_DIR_OUT, mmc::SetCdSpeedCommand(drive.lun, *value, *value), nullptr, 0);
}

BYTE TestUnitReady(const DriveAddress& drive) {
  return drive.Execute(0, mmc::TestUnitReadyCommand(), nullptr, 0);
}

bool IsMediaLoaded(const DriveAddress& drive) {
  return TestUnitReady(drive) != SS_ERR;
}

}  // namespace vyn
