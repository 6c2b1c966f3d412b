#include "drive/drive_commands.h"

#include <gtest/gtest.h>

#include <vector>

namespace vyn {
namespace {

// Catches a wrong opcode, LUN bits, load/eject and start bits, or speed
// bytes in the wrong order or field.
TEST(DriveCommandBytesTest, TrayAndSpeedCommands) {
  using Bytes = std::vector<BYTE>;
  auto bytes = [](const auto& command) { return Bytes(command.begin(), command.end()); };
  EXPECT_EQ(bytes(mmc::StartStopUnitCommand(0, mmc::TrayMotion::kOpen)),
            (Bytes{0x1B, 0x00, 0x00, 0x00, 0x02, 0x00}));
  EXPECT_EQ(bytes(mmc::StartStopUnitCommand(1, mmc::TrayMotion::kClose)),
            (Bytes{0x1B, 0x20, 0x00, 0x00, 0x03, 0x00}));
  EXPECT_EQ(bytes(mmc::SetCdSpeedCommand(2, 0x1600, 0x02C0)),
            (Bytes{0xBB, 0x40, 0x16, 0x00, 0x02, 0xC0, 0, 0, 0, 0, 0, 0}));
}

// Catches -1 not mapped to the maximum, a command for 0, or a value that
// is not truncated to 16 bits.
TEST(CdSpeedValueTest, MultiplesOfSingleSpeed) {
  const struct {
    std::int32_t speed;
    std::optional<std::uint16_t> value;
  } kCases[] = {{0, std::nullopt}, {-1, 0xFFFF}, {1, 176},    {4, 704},
                {16, 2816},        {32, 0x1600}, {400, 4864}, {-2, 0xFEA0}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.speed);
    EXPECT_EQ(CdSpeedValue(c.speed), c.value);
  }
}

}  // namespace
}  // namespace vyn
