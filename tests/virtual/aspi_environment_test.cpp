// A process whose drives and faults come only from the environment, as a
// host that knows nothing of the control API would run. The variables are
// set before the library's first use.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/virtual/aspi_request.h"
#include "virtual/synthetic_disc.h"

extern "C" DWORD GetASPI32SupportInfo();

namespace vyn::virtual_drive {
namespace {

// Catches environment settings that are ignored or applied to the wrong
// drives, and bad images that stop the library instead of emptying a drive.
TEST(AspiEnvironmentTest, DrivesAndFaultsComeFromTheEnvironment) {
  ::setenv("VYN_VIRTUAL_DRIVES", "synthetic:a2000 ; /no/such.cue;empty", 1);
  ::setenv("VYN_VIRTUAL_UNREADABLE", "100-101,500", 1);
  ::setenv("VYN_VIRTUAL_JITTER", "40:9", 1);
  ASSERT_EQ(GetASPI32SupportInfo(), 0x0101u);

  SRB_GDEVBlock block{};
  block.SRB_Cmd = SC_GET_DEV_TYPE;
  block.SRB_Target = 2;
  EXPECT_EQ(SendASPI32Command(&block), SS_COMP);
  block.SRB_Target = 3;
  EXPECT_EQ(SendASPI32Command(&block), SS_NO_DEVICE);

  AspiRequest missing_image(1, kTestUnitReadyBlock, 0, 0);
  EXPECT_EQ(missing_image.Run(), SS_ERR);
  AspiRequest unreadable(0, ReadCdBlock(480, 26), 26 * 2352);
  EXPECT_EQ(unreadable.Run(), SS_ERR);
  AspiRequest readable(0, ReadCdBlock(200, 26), 26 * 2352);
  ASSERT_EQ(readable.Run(), SS_COMP);
  const auto first = DecodeSyntheticFrame(readable.buffer().data());
  ASSERT_TRUE(first.has_value());
  EXPECT_LE(std::abs(static_cast<std::int64_t>(*first) - 200 * 588), 40);
}

}  // namespace
}  // namespace vyn::virtual_drive
