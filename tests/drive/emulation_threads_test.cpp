// Several threads sending commands to the same drives while their media
// change: the emulation's shared letter table under concurrent use.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "drive/scsi_transport.h"
#include "platform/win/last_error.h"
#include "tests/drive/fake_pass_through_system.h"
#include "tests/drive/test_support.h"

namespace vyn {
namespace {

using testing::FakePassThroughSystem;

// Catches a device closed under a command in flight, a handle opened twice
// and leaked, or an unguarded entry update (under ThreadSanitizer).
TEST(EmulationThreadsTest, CommandsAndMediaChangesFromSeveralThreads) {
  FakePassThroughSystem drives;
  drives.AddDrive('C', 0, 0, 0, testing::AudioDisc());
  drives.AddDrive('D', 0, 1, 0, testing::AudioDisc());
  ScsiTransport transport({"vyn-no-such-aspi.dll", &drives});
  ASSERT_TRUE(transport.Open());

  constexpr int kThreads = 4;
  constexpr int kCommands = 150;
  std::atomic<int> unexpected{0};
  testing::FinishWithin(std::chrono::seconds(120), [&] {
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&, t] {
        std::vector<BYTE> data(2352 * 2);
        for (int i = 0; i < kCommands; ++i) {
          if (i % 10 == t)
            drives.FailNextCommands(t % 2 ? 'D' : 'C', {ERROR_MEDIA_CHANGED});
          auto read = testing::ReadCdCommand(i, 2);
          BYTE status = transport.ExecuteCommand(0, static_cast<BYTE>(i % 2), 0, SRB_DIR_IN, read,
                                                 data.data(), static_cast<DWORD>(data.size()));
          if (status != SS_COMP && status != SS_ERR)
            ++unexpected;
          if (status == SS_COMP && virtual_drive::FirstWrongSyntheticFrame(
                                       data, static_cast<std::uint32_t>(i) * 588) != -1) {
            ++unexpected;
          }
        }
      });
    }
    for (std::thread& thread : threads)
      thread.join();
  });
  EXPECT_EQ(unexpected, 0);
  EXPECT_LE(drives.OpenDevices(), 2);
  transport.Close();
  EXPECT_EQ(drives.OpenDevices(), 0);
}

}  // namespace
}  // namespace vyn
