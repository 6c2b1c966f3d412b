#include <gtest/gtest.h>
#include <poll.h>

#include "platform/win/clock.h"
#include "platform/win/timer.h"
#include "tests/platform/win/messaging_fixture.h"

namespace vyn {
namespace {

using std::chrono::milliseconds;
using testing::MessagingTest;
using testing::NextMessageWithin;

class TimerTest : public MessagingTest {};

int TakeTimerMessages(UINT_PTR id) {
  int count = 0;
  MSG message;
  while (PeekMessageW(&message, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) {
    EXPECT_EQ(message.wParam, id);
    EXPECT_EQ(message.hwnd, nullptr);
    ++count;
  }
  return count;
}

// Catches a thread timer that fires once, fires with the wrong identifier,
// runs on real time instead of the clock's, or keeps firing after
// KillTimer.
TEST_F(TimerTest, ThreadTimerFiresRepeatedlyUntilKilled) {
  ScaledClock fast(200.0);
  ScopedClockOverride use(fast);
  UINT_PTR id = SetTimer(nullptr, 0, 5000, nullptr);
  ASSERT_NE(id, 0u);
  DWORD started = GetTickCount();
  int ticks = 0;
  MSG message;
  while (ticks < 3 && NextMessageWithin(&message, 10000)) {
    ASSERT_EQ(message.message, WM_TIMER);
    EXPECT_EQ(message.wParam, id);
    ++ticks;
  }
  ASSERT_EQ(ticks, 3);
  EXPECT_GE(GetTickCount() - started, 15000u);

  ASSERT_TRUE(KillTimer(nullptr, id));
  Sleep(12000);
  EXPECT_EQ(TakeTimerMessages(id), 0);
  EXPECT_FALSE(KillTimer(nullptr, id));
}

// Catches timer messages that pile up while the thread is busy: at most
// one waits per timer, and other messages come first.
TEST_F(TimerTest, AtMostOneTimerMessageWaitsAndPostsComeFirst) {
  ScaledClock fast(200.0);
  ScopedClockOverride use(fast);
  UINT_PTR id = SetTimer(nullptr, 0, 100, nullptr);
  Sleep(2000);  // twenty periods
  PostThreadMessageW(GetCurrentThreadId(), WM_USER + 1, 0, 0);
  MSG first;
  ASSERT_TRUE(PeekMessageW(&first, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(first.message, WM_USER + 1);
  EXPECT_EQ(TakeTimerMessages(id), 1);
  KillTimer(nullptr, id);
}

std::atomic<int> g_callbacks{0};
void CountCallback(HWND, UINT message, UINT_PTR, DWORD) {
  if (message == WM_TIMER)
    ++g_callbacks;
}

// Catches a timer callback that dispatching does not call, and a queue
// descriptor that stays silent when only a timer comes due (a host that
// sleeps on the descriptor would never run the timer).
TEST_F(TimerTest, DueTimerWakesTheDescriptorAndDispatchRunsItsCallback) {
  ScaledClock fast(100.0);
  ScopedClockOverride use(fast);
  int fd = CurrentThreadQueueFd();
  UINT_PTR id = SetTimer(nullptr, 0, 1000, &CountCallback);
  pollfd entry{fd, POLLIN, 0};
  EXPECT_EQ(::poll(&entry, 1, 0), 0);
  ASSERT_EQ(::poll(&entry, 1, 10000), 1);
  int before = g_callbacks;
  EXPECT_EQ(RunUntilIdle(), 1);
  EXPECT_EQ(g_callbacks, before + 1);
  EXPECT_EQ(::poll(&entry, 1, 0), 0);
  KillTimer(nullptr, id);
}

}  // namespace
}  // namespace vyn
