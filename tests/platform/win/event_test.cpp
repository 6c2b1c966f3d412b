#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "platform/win/clock.h"
#include "platform/win/event.h"
#include "platform/win/last_error.h"
#include "platform/win/message_pump.h"
#include "platform/win/thread.h"
#include "platform/win/wait.h"

namespace vyn {
namespace {

using std::chrono::milliseconds;

// Catches manual- and auto-reset events that release the wrong number of
// waits, or a Reset that does not take back a signal.
TEST(EventTest, ResetKindsDecideHowManyWaitsASignalSatisfies) {
  static const struct {
    const char* name;
    BOOL manual;
    BOOL initially_set;
    bool set;
    bool reset;
    DWORD first_wait;
    DWORD second_wait;
  } kCases[] = {
      {"manual, set", TRUE, FALSE, true, false, WAIT_OBJECT_0, WAIT_OBJECT_0},
      {"auto, set", FALSE, FALSE, true, false, WAIT_OBJECT_0, WAIT_TIMEOUT},
      {"manual, initially set", TRUE, TRUE, false, false, WAIT_OBJECT_0, WAIT_OBJECT_0},
      {"auto, initially set", FALSE, TRUE, false, false, WAIT_OBJECT_0, WAIT_TIMEOUT},
      {"manual, set then reset", TRUE, FALSE, true, true, WAIT_TIMEOUT, WAIT_TIMEOUT},
      {"auto, never set", FALSE, FALSE, false, false, WAIT_TIMEOUT, WAIT_TIMEOUT},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    HANDLE event = CreateEventA(nullptr, c.manual, c.initially_set, nullptr);
    ASSERT_NE(event, nullptr);
    if (c.set) {
      EXPECT_TRUE(SetEvent(event));
    }
    if (c.reset) {
      EXPECT_TRUE(ResetEvent(event));
    }
    EXPECT_EQ(WaitForSingleObject(event, 0), c.first_wait);
    EXPECT_EQ(WaitForSingleObject(event, 10), c.second_wait);
    EXPECT_TRUE(CloseHandle(event));
  }
}

// Catches an auto-reset event that wakes every waiter instead of one.
TEST(EventTest, AutoResetReleasesOneWaiterPerSignal) {
  Event event(EventReset::kAuto);
  std::atomic<int> released{0};
  auto waiter = [&] {
    if (event.Wait(10000))
      ++released;
  };
  auto first = Thread::Start(waiter);
  auto second = Thread::Start(waiter);
  ASSERT_TRUE(first.ok() && second.ok());

  event.Set();
  ASSERT_TRUE(PumpMessagesUntil([&] { return released == 1; }, milliseconds(5000)));
  EXPECT_FALSE(PumpMessagesUntil([&] { return released > 1; }, milliseconds(50)));
  event.Set();
  ASSERT_TRUE(PumpMessagesUntil([&] { return released == 2; }, milliseconds(5000)));
  EXPECT_TRUE(first->Wait(5000));
  EXPECT_TRUE(second->Wait(5000));
}

// Catches a signal that slips between a waiter's check and its sleep: a
// lost wake-up stalls the ping-pong and the bounded wait fails.
TEST(EventTest, PingPongBetweenThreadsLosesNoSignal) {
  constexpr int kRounds = 2000;
  Event ping(EventReset::kAuto), pong(EventReset::kAuto);
  std::atomic<bool> stalled{false};
  auto partner = Thread::Start([&] {
    for (int i = 0; i < kRounds && !stalled; ++i) {
      if (!ping.Wait(5000))
        stalled = true;
      pong.Set();
    }
  });
  ASSERT_TRUE(partner.ok());
  int rounds = 0;
  for (; rounds < kRounds && !stalled; ++rounds) {
    ping.Set();
    if (!pong.Wait(5000))
      stalled = true;
  }
  EXPECT_FALSE(stalled);
  EXPECT_EQ(rounds, kRounds);
}

// Catches time-outs measured in real time instead of the clock's, and waits
// that end before their span has passed on that clock.
TEST(EventTest, TimeOutsFollowTheCurrentClock) {
  ScaledClock fast(1000.0);
  ScopedClockOverride use(fast);
  Event never(EventReset::kManual);
  DWORD before = GetTickCount();
  EXPECT_EQ(WaitForSingleObject(never.handle(), 20000), WAIT_TIMEOUT);
  EXPECT_GE(GetTickCount() - before, 20000u);

  before = GetTickCount();
  Sleep(5000);
  EXPECT_GE(GetTickCount() - before, 5000u);
}

// Catches a multiple wait that reports the wrong index or ignores a
// signalled handle that is not first.
TEST(EventTest, WaitForMultipleReportsTheFirstSignalledHandle) {
  Event a(EventReset::kManual), b(EventReset::kManual), c(EventReset::kAuto);
  HANDLE handles[] = {a.handle(), b.handle(), c.handle()};
  EXPECT_EQ(WaitForMultipleObjects(3, handles, FALSE, 0), WAIT_TIMEOUT);
  c.Set();
  b.Set();
  EXPECT_EQ(WaitForMultipleObjects(3, handles, FALSE, 0), WAIT_OBJECT_0 + 1);
  b.Reset();
  EXPECT_EQ(WaitForMultipleObjects(3, handles, FALSE, 0), WAIT_OBJECT_0 + 2);
  EXPECT_FALSE(c.IsSet());
}

// Catches bad handles and unsupported requests being waited on (or
// crashing) instead of failing with their error.
TEST(EventTest, BadWaitsFailWithTheirError) {
  HANDLE closed = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_TRUE(CloseHandle(closed));
  Event live(EventReset::kManual, EventInitially::kSet);
  const struct {
    const char* name;
    HANDLE handle;
    BOOL wait_all;
    DWORD error;
  } kCases[] = {
      {"closed handle", closed, FALSE, ERROR_INVALID_HANDLE},
      {"made-up handle", reinterpret_cast<HANDLE>(0x12345678), FALSE, ERROR_INVALID_HANDLE},
      {"null handle", nullptr, FALSE, ERROR_INVALID_HANDLE},
      {"wait for all", live.handle(), TRUE, ERROR_NOT_SUPPORTED},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    HANDLE both[] = {live.handle(), c.handle};
    SetLastError(0);
    EXPECT_EQ(WaitForMultipleObjects(2, both, c.wait_all, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), c.error);
  }
  SetLastError(0);
  EXPECT_FALSE(CloseHandle(closed));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(SetEvent(closed));
}

}  // namespace
}  // namespace vyn
