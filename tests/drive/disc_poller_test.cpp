#include "drive/disc_poller.h"

#include <gtest/gtest.h>

#include <memory>

#include "drive/drive_object.h"
#include "drive/drive_state.h"
#include "drive/toc_reader.h"
#include "platform/win/clock.h"
#include "platform/win/message_pump.h"
#include "tests/drive/allocation_counter.h"
#include "tests/drive/virtual_drive_fixture.h"

namespace vyn {
namespace {

using testing::CommandCount;
using testing::PostedEvent;

constexpr PostedEvent kDiskChanged{WM_USER + 101, 0};
constexpr auto kEventLimit = std::chrono::seconds(20);  // real time

// One tick at a time, on the test's thread.
class PollTickTest : public testing::VirtualDriveTest {
 protected:
  void MakeState(const std::string& drives) {
    UseDrives(drives);
    auto state = DriveState::Create(&owner_, &record());
    ASSERT_TRUE(state.ok());
    state_ = state.value();
    ASSERT_TRUE(state_->Refresh().ok());
    VynVirtualResetCommandCounts(0);
  }
  void TearDown() override {
    if (state_)
      state_->Shutdown();
    state_.reset();
    VirtualDriveTest::TearDown();
  }
  PollOutcome Tick() { return PollOnce(*state_, &buffer_); }
  LONG TrackCount() {
    LONG count = -1;
    EXPECT_EQ(state_->GetTrackCount(&count), S_OK);
    return count;
  }

  std::shared_ptr<DriveState> state_;
  TocReply buffer_{};
};

// Catches a tick that rebuilds, posts, sends more than one READ TOC, or
// allocates when nothing changed (beyond the transport's own command).
TEST_F(PollTickTest, UnchangedDiscCostsOneReadTocAndNoAllocation) {
  MakeState("synthetic:a4500,a750p,d3000|d2000");
  ComPtr<ITrack> first;
  ASSERT_EQ(state_->GetTrack(1, first.Receive()), S_OK);
  EXPECT_EQ(Tick(), PollOutcome::kUnchanged);  // warm the transport's paths

  auto before = testing::AllocationsOnThisThread();
  TocReply bare = record().toc_reply;
  ReadTocReply(DriveAddress::Of(record()), &bare);
  const auto command_allocations = testing::AllocationsOnThisThread() - before;

  constexpr int kTicks = 5;
  before = testing::AllocationsOnThisThread();
  for (int i = 0; i < kTicks; ++i)
    EXPECT_EQ(Tick(), PollOutcome::kUnchanged);
  EXPECT_EQ(testing::AllocationsOnThisThread() - before, kTicks * command_allocations);

  EXPECT_EQ(CommandCount(mmc::kReadToc), 1u + 1u + kTicks);
  EXPECT_EQ(CommandCount(mmc::kTestUnitReady), 0u);
  EXPECT_TRUE(owner_.events().empty());
  ComPtr<ITrack> still_first;
  ASSERT_EQ(state_->GetTrack(1, still_first.Receive()), S_OK);
  EXPECT_EQ(still_first, first);
}

// Catches a poll that sends commands while an extraction runs or while
// AutoRefresh is off, or that treats only -1 as "on".
TEST_F(PollTickTest, QuietWhileExtractingOrAutoRefreshOff) {
  MakeState("synthetic:a4500");
  ASSERT_EQ(VynVirtualRemoveDisc(0), VYN_VIRTUAL_OK);
  const struct {
    bool extracting;
    LONG auto_refresh;
    PollOutcome outcome;
  } kCases[] = {
      {true, 1, PollOutcome::kSkipped},
      {true, -1, PollOutcome::kSkipped},
      {false, 0, PollOutcome::kSkipped},
      {false, 7, PollOutcome::kChanged},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(::testing::Message() << c.extracting << " " << c.auto_refresh);
    owner_.SetExtractionRunning(c.extracting);
    state_->set_auto_refresh(c.auto_refresh);
    const unsigned reads = CommandCount(mmc::kReadToc);
    EXPECT_EQ(Tick(), c.outcome);
    if (c.outcome == PollOutcome::kSkipped) {
      EXPECT_EQ(CommandCount(mmc::kReadToc), reads);
    }
  }
  EXPECT_EQ(owner_.events(), std::vector<PostedEvent>{kDiskChanged});
}

// Catches a change that is not refreshed or not reported, reported twice,
// or a rebuild the poll makes without an event.
TEST_F(PollTickTest, EachChangeRefreshesAndPostsOneEvent) {
  MakeState("synthetic:a4500,a750");
  const struct {
    const char* name;
    int (*change)();
    LONG tracks_after;
  } kSteps[] = {
      {"tray opened", [] { return VynVirtualSetTrayOpen(0, 1); }, 0},
      {"tray closed", [] { return VynVirtualSetTrayOpen(0, 0); }, 2},
      {"disc swapped", [] { return VynVirtualInsertDisc(0, "synthetic:a300,a300,a300"); }, 3},
      {"disc removed", [] { return VynVirtualRemoveDisc(0); }, 0},
  };
  std::size_t events = 0;
  for (const auto& step : kSteps) {
    SCOPED_TRACE(step.name);
    ASSERT_EQ(step.change(), VYN_VIRTUAL_OK);
    EXPECT_EQ(Tick(), PollOutcome::kChanged);
    EXPECT_EQ(owner_.events().size(), ++events);
    EXPECT_EQ(owner_.events().back(), kDiskChanged);
    EXPECT_EQ(TrackCount(), step.tracks_after);
    EXPECT_EQ(Tick(), PollOutcome::kUnchanged);
    EXPECT_EQ(owner_.events().size(), events);
  }
}

// Catches an event for a change that the host's own Refresh already took in.
TEST_F(PollTickTest, HostRefreshTakesTheChangeWithoutAnEvent) {
  MakeState("synthetic:a4500");
  ASSERT_EQ(VynVirtualInsertDisc(0, "synthetic:a1000,a1000"), VYN_VIRTUAL_OK);
  ASSERT_TRUE(state_->Refresh().ok());
  EXPECT_EQ(Tick(), PollOutcome::kUnchanged);
  EXPECT_TRUE(owner_.events().empty());
  EXPECT_EQ(TrackCount(), 2);
}

// Catches a tick that reaches the record or the owner after shutdown.
TEST_F(PollTickTest, OutOfServiceTickDoesNothing) {
  MakeState("synthetic:a4500");
  state_->Shutdown();
  ASSERT_EQ(VynVirtualRemoveDisc(0), VYN_VIRTUAL_OK);
  EXPECT_EQ(Tick(), PollOutcome::kSkipped);
  EXPECT_EQ(CommandCount(mmc::kReadToc), 0u);
  EXPECT_TRUE(owner_.events().empty());
}

// The polling thread with a fast clock: 5 s of drive time pass in 50 ms.
class PollThreadTest : public testing::VirtualDriveTest {
 protected:
  ScaledClock fast_{100};
  ScopedClockOverride clock_{fast_};
};

// Catches a thread that never ticks, misses the tray opened by OpenTray or
// a disc loaded by CloseTray, or leaves tracks of the removed disc.
TEST_F(PollThreadTest, OnDiskChangedFollowsOpeningAndClosingTheTray) {
  UseDrives("synthetic:a4500,a750");
  auto made = Drive::Create(&owner_, &record());
  ASSERT_TRUE(made.ok());
  ComPtr<Drive> drive = made.value();
  LONG count = -1;

  EXPECT_EQ(drive->OpenTray(), S_OK);
  ASSERT_TRUE(owner_.WaitForEvents(1, kEventLimit));
  EXPECT_EQ(drive->GetTrackNumber(&count), S_OK);
  EXPECT_EQ(count, 0);

  EXPECT_EQ(drive->CloseTray(), S_OK);
  ASSERT_TRUE(owner_.WaitForEvents(2, kEventLimit));
  EXPECT_EQ(drive->GetTrackNumber(&count), S_OK);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(owner_.events(), (std::vector<PostedEvent>{kDiskChanged, kDiskChanged}));
  drive->Shutdown();
}

// Catches poll commands during an extraction, or a change made during it
// that is not reported once it ends.
TEST_F(PollThreadTest, NoCommandsWhileExtractingAndTheChangeIsReportedAfter) {
  UseDrives("synthetic:a4500");
  auto state = DriveState::Create(&owner_, &record());
  ASSERT_TRUE(state.ok());
  ASSERT_TRUE((*state)->Refresh().ok());
  owner_.SetExtractionRunning(true);
  auto poller = DiscPoller::Start(*state);
  ASSERT_TRUE(poller.ok());
  VynVirtualResetCommandCounts(0);
  ASSERT_EQ(VynVirtualRemoveDisc(0), VYN_VIRTUAL_OK);

  ASSERT_TRUE(PumpMessagesUntil([&] { return (*poller)->ticks() >= 3; }, kEventLimit));
  EXPECT_EQ(CommandCount(mmc::kReadToc), 0u);
  EXPECT_TRUE(owner_.events().empty());

  owner_.SetExtractionRunning(false);
  EXPECT_TRUE(owner_.WaitForEvents(1, kEventLimit));
  (*poller)->Stop();
  (*state)->Shutdown();
}

// Catches a stop that waits without limit for a tick stuck in a command,
// or a late tick that touches the freed record or owner (AddressSanitizer
// reports it) or posts an event after shutdown.
TEST_F(PollThreadTest, StopGivesUpOnAStuckTickWithoutFreeingItsState) {
  UseDrives("synthetic:a4500");
  auto own_record = std::make_unique<DriveRecord>(record());
  auto owner = std::make_unique<testing::FakeDriveOwner>();
  auto state = DriveState::Create(owner.get(), own_record.get());
  ASSERT_TRUE(state.ok());
  std::weak_ptr<DriveState> watched = *state;
  auto poller = DiscPoller::Start(*state);
  ASSERT_TRUE(poller.ok());

  VynVirtualSetNeverComplete(1);
  const auto ticks = (*poller)->ticks();
  ASSERT_TRUE(PumpMessagesUntil([&] { return (*poller)->ticks() > ticks; }, kEventLimit));
  testing::FinishWithin(std::chrono::seconds(30), [&] { (*poller)->Stop(); });
  (*state)->Shutdown();
  state.value().reset();
  poller.value().reset();
  own_record.reset();
  owner.reset();

  // The stuck command is aborted at the end of its wait; the thread then
  // lets go of the state.
  ASSERT_TRUE(PumpMessagesUntil([&] { return watched.expired(); }, kEventLimit));
  VynVirtualSetNeverComplete(0);
}

}  // namespace
}  // namespace vyn
