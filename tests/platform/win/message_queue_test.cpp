#include <gtest/gtest.h>
#include <poll.h>

#include <map>

#include "platform/win/last_error.h"
#include "platform/win/thread.h"
#include "tests/platform/win/messaging_fixture.h"

namespace vyn {
namespace {

using std::chrono::milliseconds;
using testing::MessagingTest;
using testing::NextMessageWithin;
using testing::RecordingWindow;

class MessageQueueTest : public MessagingTest {};

bool Readable(int fd) {
  pollfd entry{fd, POLLIN, 0};
  return ::poll(&entry, 1, 0) == 1 && (entry.revents & POLLIN);
}

// Catches reordering or loss of posts when several threads post to one
// window at once: each sender's messages must arrive complete and in order.
TEST_F(MessageQueueTest, PostsFromSeveralThreadsArriveInOrderPerSender) {
  constexpr int kSenders = 4;
  constexpr int kPerSender = 500;
  RecordingWindow window;
  std::vector<Thread> senders;
  for (int s = 0; s < kSenders; ++s) {
    auto sender = Thread::Start([&, s] {
      for (int i = 0; i < kPerSender; ++i) {
        PostMessageW(window.hwnd(), WM_USER + 1, static_cast<WPARAM>(s), i);
      }
    });
    ASSERT_TRUE(sender.ok());
    senders.push_back(std::move(*sender));
  }
  ASSERT_TRUE(PumpMessagesUntil(
      [&] { return window.CountOf(WM_USER + 1) == kSenders * kPerSender; }, milliseconds(10000)));
  std::map<WPARAM, LPARAM> next;
  for (const auto& received : window.Of(WM_USER + 1)) {
    EXPECT_EQ(received.lparam, next[received.wparam]) << "sender " << received.wparam;
    next[received.wparam] = received.lparam + 1;
    EXPECT_EQ(received.thread, GetCurrentThreadId());
  }
}

// Catches WM_QUIT overtaking messages posted before it (or even after it:
// the quit request waits until the posted messages are taken).
TEST_F(MessageQueueTest, QuitComesAfterThePostedMessages) {
  RecordingWindow window;
  PostMessageW(window.hwnd(), WM_USER + 1, 0, 0);
  PostMessageW(window.hwnd(), WM_USER + 2, 0, 0);
  PostQuitMessage(7);
  PostThreadMessageW(GetCurrentThreadId(), WM_USER + 3, 0, 0);

  std::vector<UINT> order;
  MSG message;
  while (NextMessageWithin(&message, 5000)) {
    order.push_back(message.message);
    if (message.message == WM_QUIT)
      break;
  }
  EXPECT_EQ(order, (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_USER + 3, WM_QUIT}));
  EXPECT_EQ(message.wParam, 7u);
  EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
}

// Catches filters that take the wrong messages and PM_NOREMOVE that
// removes.
TEST_F(MessageQueueTest, PeekHonoursWindowAndRangeFilters) {
  RecordingWindow a, b;
  HWND const kThreadOnly = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1));
  const struct {
    const char* name;
    HWND filter;
    UINT min, max;
    HWND expected_window;
    UINT expected_message;
  } kCases[] = {
      {"any", nullptr, 0, 0, a.hwnd(), WM_USER + 1},
      {"window b", b.hwnd(), 0, 0, b.hwnd(), WM_USER + 2},
      {"thread only", kThreadOnly, 0, 0, nullptr, WM_USER + 3},
      {"range", nullptr, WM_USER + 2, WM_USER + 3, b.hwnd(), WM_USER + 2},
      {"window a, range above", a.hwnd(), WM_USER + 5, WM_USER + 9, a.hwnd(), WM_USER + 5},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    PostMessageW(a.hwnd(), WM_USER + 1, 0, 0);
    PostMessageW(b.hwnd(), WM_USER + 2, 0, 0);
    PostThreadMessageW(GetCurrentThreadId(), WM_USER + 3, 0, 0);
    PostMessageW(a.hwnd(), WM_USER + 5, 0, 0);

    MSG peeked, taken;
    ASSERT_TRUE(PeekMessageW(&peeked, c.filter, c.min, c.max, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessageW(&taken, c.filter, c.min, c.max, PM_REMOVE));
    EXPECT_EQ(peeked.message, taken.message);
    EXPECT_EQ(taken.hwnd, c.expected_window);
    EXPECT_EQ(taken.message, c.expected_message);

    int left = 0;
    MSG rest;
    while (PeekMessageW(&rest, nullptr, 0, 0, PM_REMOVE))
      ++left;
    EXPECT_EQ(left, 3);
  }
  EXPECT_EQ(a.CountOf(WM_USER + 1) + b.CountOf(WM_USER + 2), 0u);  // nothing was dispatched
}

// Catches a queue descriptor that a host's loop cannot rely on: it must be
// readable while anything waits (a post from another thread, a send) and
// not readable once everything has been handled.
TEST_F(MessageQueueTest, DescriptorIsReadableExactlyWhileMessagesWait) {
  RecordingWindow window([](UINT, WPARAM, LPARAM) -> LRESULT { return 5; });
  int fd = CurrentThreadQueueFd();
  ASSERT_GE(fd, 0);
  EXPECT_EQ(fd, CurrentThreadQueueFd());
  EXPECT_FALSE(Readable(fd));

  auto poster = Thread::Start([&] { PostMessageW(window.hwnd(), WM_USER + 1, 0, 0); });
  ASSERT_TRUE(poster.ok());
  poster->Join();
  EXPECT_TRUE(Readable(fd));
  EXPECT_EQ(RunUntilIdle(), 1);
  EXPECT_FALSE(Readable(fd));

  // A host that only watches the descriptor still answers a send.
  std::atomic<LRESULT> answer{0};
  auto sender = Thread::Start([&] { answer = SendMessageW(window.hwnd(), WM_USER + 2, 0, 0); });
  ASSERT_TRUE(sender.ok());
  pollfd entry{fd, POLLIN, 0};
  ASSERT_EQ(::poll(&entry, 1, 10000), 1);
  RunUntilIdle();
  EXPECT_TRUE(sender->Wait(10000));
  EXPECT_EQ(answer.load(), 5);
  EXPECT_FALSE(Readable(fd));

  PostQuitMessage(0);
  EXPECT_TRUE(Readable(fd));
  MSG quit;
  ASSERT_TRUE(PeekMessageW(&quit, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(quit.message, WM_QUIT);
  EXPECT_FALSE(Readable(fd));
}

}  // namespace
}  // namespace vyn
