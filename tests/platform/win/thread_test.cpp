#include <gtest/gtest.h>

#include "platform/win/event.h"
#include "platform/win/last_error.h"
#include "platform/win/thread.h"
#include "tests/platform/win/messaging_fixture.h"

namespace vyn {
namespace {

using testing::MessagingTest;
using testing::NextMessageWithin;

class ThreadTest : public MessagingTest {};

struct StartContext {
  Event* release;
  DWORD seen_id;
};

DWORD WaitThenReturn(void* parameter) {
  auto* context = static_cast<StartContext*>(parameter);
  context->seen_id = GetCurrentThreadId();
  context->release->Wait(10000);
  return 42;
}

// Catches a thread handle that is signalled too early or never, and an
// exit code that is lost.
TEST_F(ThreadTest, HandleIsSignalledWhenTheThreadEnds) {
  Event release(EventReset::kManual);
  StartContext context{&release, 0};
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, &WaitThenReturn, &context, 0, &id);
  ASSERT_NE(thread, nullptr);
  EXPECT_NE(id, GetCurrentThreadId());

  DWORD code = 0;
  EXPECT_EQ(WaitForSingleObject(thread, 20), WAIT_TIMEOUT);
  ASSERT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, STILL_ACTIVE);

  release.Set();
  ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);  // stays signalled
  ASSERT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 42u);
  EXPECT_EQ(context.seen_id, id);
  EXPECT_TRUE(CloseHandle(thread));
}

std::atomic<int> g_finished_threads{0};

DWORD CountFinished(void*) {
  Sleep(20);
  ++g_finished_threads;
  return 0;
}

// Catches a thread object freed while its thread still runs when the
// handle is closed first.
TEST_F(ThreadTest, ClosingTheHandleEarlyLetsTheThreadFinish) {
  int before = g_finished_threads;
  HANDLE thread = CreateThread(nullptr, 0, &CountFinished, nullptr, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  EXPECT_TRUE(CloseHandle(thread));
  EXPECT_TRUE(PumpMessagesUntil([&] { return g_finished_threads == before + 1; },
                                std::chrono::milliseconds(5000)));
}

// Catches a Wait that ignores its time-out, and a Thread that does not
// wait for its thread.
TEST_F(ThreadTest, OwnedThreadCanBeWaitedWithATimeOut) {
  Event release(EventReset::kManual);
  std::atomic<bool> finished{false};
  {
    auto thread = Thread::Start([&] {
      release.Wait(10000);
      finished = true;
    });
    ASSERT_TRUE(thread.ok());
    EXPECT_FALSE(thread->Wait(20));
    release.Set();
  }  // joins
  EXPECT_TRUE(finished);
}

// Catches a thread that cannot be posted to until it happens to make its
// queue: the quit request of a thread stopped right after it started
// would be lost.
TEST_F(ThreadTest, NewThreadAcceptsPostsAtOnce) {
  Event go(EventReset::kManual);
  std::atomic<UINT> first{0};
  std::atomic<WPARAM> quit_code{0};
  auto thread = Thread::Start([&] {
    go.Wait(10000);
    MSG message;
    while (NextMessageWithin(&message, 10000) && message.message != WM_QUIT) {
      if (!first)
        first = message.message;
    }
    quit_code = message.wParam;
  });
  ASSERT_TRUE(thread.ok());
  ASSERT_TRUE(PostThreadMessageW(thread->id(), WM_USER + 3, 0, 0));
  ASSERT_TRUE(PostThreadMessageW(thread->id(), WM_QUIT, 9, 0));
  go.Set();
  EXPECT_TRUE(thread->Wait(10000));
  EXPECT_EQ(first.load(), WM_USER + 3);
  EXPECT_EQ(quit_code.load(), 9u);

  SetLastError(0);
  EXPECT_FALSE(PostThreadMessageW(thread->id(), WM_USER, 0, 0));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_THREAD_ID);
}

// Catches windows that outlive their thread: posts to them must fail and
// IsWindow must say they are gone.
TEST_F(ThreadTest, WindowsGoWithTheirThread) {
  HWND hwnd = nullptr;
  {
    auto thread = Thread::Start([&] { hwnd = testing::CreatePlainWindow(); });
    ASSERT_TRUE(thread.ok());
  }
  ASSERT_NE(hwnd, nullptr);
  EXPECT_FALSE(IsWindow(hwnd));
  SetLastError(0);
  EXPECT_FALSE(PostMessageW(hwnd, WM_USER, 0, 0));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

}  // namespace
}  // namespace vyn
