#include <gtest/gtest.h>
#include <poll.h>

#include "platform/win/event.h"
#include "platform/win/thread.h"
#include "tests/platform/win/messaging_fixture.h"

namespace vyn {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
using testing::MessagingTest;
using testing::RecordingWindow;
using testing::Watchdog;

class SendMessageTest : public MessagingTest {};

constexpr UINT kAsk = WM_USER + 200;

// A thread that owns a window and pumps its queue until told to quit.
class WindowThread {
 public:
  explicit WindowThread(RecordingWindow::Handler handler = nullptr) {
    auto started = Thread::Start([this, handler] {
      RecordingWindow window(handler);
      hwnd_ = window.hwnd();
      ready_.Set();
      PumpMessagesUntil([this] { return stop_.load(); }, milliseconds(30000));
    });
    EXPECT_TRUE(started.ok());
    thread_ = std::move(*started);
    EXPECT_TRUE(ready_.Wait(10000));
  }
  ~WindowThread() {
    stop_ = true;
    thread_.Join();
  }
  HWND hwnd() const { return hwnd_; }

 private:
  Event ready_{EventReset::kManual};
  std::atomic<bool> stop_{false};
  std::atomic<HWND> hwnd_{nullptr};
  Thread thread_;
};

// Catches a send that runs the procedure on the wrong thread or loses its
// answer; a send on the owner's thread calls the procedure directly.
TEST_F(SendMessageTest, AnswerComesFromTheOwnerThread) {
  std::atomic<DWORD> ran_on{0};
  WindowThread owner([&](UINT, WPARAM wparam, LPARAM) -> LRESULT {
    ran_on = GetCurrentThreadId();
    return static_cast<LRESULT>(wparam * 2);
  });
  EXPECT_EQ(SendMessageW(owner.hwnd(), kAsk, 21, 0), 42);
  EXPECT_NE(ran_on.load(), GetCurrentThreadId());
  EXPECT_NE(ran_on.load(), 0u);

  RecordingWindow local([](UINT, WPARAM, LPARAM) -> LRESULT { return 7; });
  EXPECT_EQ(SendMessageW(local.hwnd(), kAsk, 0, 0), 7);
  EXPECT_EQ(local.Of(kAsk).at(0).thread, GetCurrentThreadId());
}

// Catches a deadlock when two threads send to each other at the same time:
// each must handle the other's send while waiting for its own answer.
TEST_F(SendMessageTest, ThreadsSendingToEachOtherDoNotDeadlock) {
  Watchdog watchdog(seconds(20), "mutual SendMessage");
  RecordingWindow mine([](UINT, WPARAM wparam, LPARAM) -> LRESULT { return wparam + 1; });
  std::atomic<HWND> mine_hwnd{mine.hwnd()};
  Event in_handler(EventReset::kAuto), go(EventReset::kAuto);
  std::atomic<LRESULT> their_answer{0};
  WindowThread other([&](UINT message, WPARAM wparam, LPARAM) -> LRESULT {
    if (message == kAsk + 1) {
      in_handler.Set();
      go.Wait(10000);
      their_answer = SendMessageW(mine_hwnd, kAsk, 100, 0);  // to us, while we send to it
    }
    return wparam + 10;
  });
  for (int round = 0; round < 50; ++round) {
    SCOPED_TRACE(round);
    PostMessageW(other.hwnd(), kAsk + 1, 0, 0);
    ASSERT_TRUE(in_handler.Wait(10000));
    go.Set();
    EXPECT_EQ(SendMessageW(other.hwnd(), kAsk, 1, 0), 11);
    ASSERT_TRUE(PumpMessagesUntil([&] { return their_answer == 101; }, milliseconds(10000)));
    their_answer = 0;
  }
}

// Catches a message-aware wait that does not answer sends, so a worker
// that sends to the waiting thread would hang.
TEST_F(SendMessageTest, SendIsAnsweredWhileTheOwnerWaitsForObjects) {
  RecordingWindow window([](UINT, WPARAM, LPARAM) -> LRESULT { return 1; });
  Event done(EventReset::kManual);
  std::atomic<LRESULT> answer{0};
  auto worker = Thread::Start([&] {
    answer = SendMessageW(window.hwnd(), kAsk, 0, 0);
    done.Set();
  });
  ASSERT_TRUE(worker.ok());
  HANDLE handles[] = {done.handle()};
  EXPECT_EQ(MsgWaitForMultipleObjects(1, handles, FALSE, 10000, QS_ALLINPUT), WAIT_OBJECT_0);
  EXPECT_EQ(answer.load(), 1);
  EXPECT_EQ(window.CountOf(kAsk), 1u);

  // Posted input ends the wait with WAIT_OBJECT_0 + count.
  done.Reset();
  PostMessageW(window.hwnd(), WM_USER + 1, 0, 0);
  EXPECT_EQ(MsgWaitForMultipleObjects(1, handles, FALSE, 10000, QS_ALLINPUT), WAIT_OBJECT_0 + 1);
  EXPECT_EQ(MsgWaitForMultipleObjects(1, handles, FALSE, 0, QS_SENDMESSAGE), WAIT_TIMEOUT);
}

// Catches a sender left waiting forever when the owner thread of the
// window ends without answering.
TEST_F(SendMessageTest, SendToAWindowWhoseThreadEndsReturnsZero) {
  Watchdog watchdog(seconds(20), "send to an ending thread");
  Event created(EventReset::kManual), end(EventReset::kManual), sending(EventReset::kManual);
  std::atomic<HWND> hwnd{nullptr};
  auto owner = Thread::Start([&] {
    hwnd = testing::CreatePlainWindow();  // goes with the thread, not by DestroyWindow
    created.Set();
    end.Wait(10000);  // never pumps
  });
  ASSERT_TRUE(owner.ok());
  ASSERT_TRUE(created.Wait(10000));

  std::atomic<LRESULT> answer{-1};
  auto sender = Thread::Start([&] {
    sending.Set();
    answer = SendMessageW(hwnd, kAsk, 0, 0);
  });
  ASSERT_TRUE(sender.ok());
  ASSERT_TRUE(sending.Wait(10000));
  Sleep(50);  // let the send reach the queue
  end.Set();
  EXPECT_TRUE(owner->Wait(10000));
  EXPECT_TRUE(sender->Wait(10000));
  EXPECT_EQ(answer.load(), 0);
  EXPECT_FALSE(IsWindow(hwnd));
}

bool Readable(int fd) {
  pollfd entry{fd, POLLIN, 0};
  return ::poll(&entry, 1, 0) == 1;
}

// Catches a send still waiting for a window that is destroyed: the sender
// gets 0 at once and the procedure never sees the message.
TEST_F(SendMessageTest, DestroyingTheWindowAnswersItsWaitingSends) {
  RecordingWindow window([](UINT, WPARAM, LPARAM) -> LRESULT { return 5; });
  int fd = CurrentThreadQueueFd();
  std::atomic<LRESULT> answer{-1};
  auto sender =
      Thread::Start([&, hwnd = window.hwnd()] { answer = SendMessageW(hwnd, kAsk, 0, 0); });
  ASSERT_TRUE(sender.ok());
  pollfd entry{fd, POLLIN, 0};
  ASSERT_EQ(::poll(&entry, 1, 10000), 1);  // the send is queued

  ASSERT_TRUE(DestroyWindow(window.hwnd()));
  EXPECT_TRUE(sender->Wait(10000));
  EXPECT_EQ(answer.load(), 0);
  EXPECT_EQ(window.CountOf(kAsk), 0u);
  EXPECT_FALSE(Readable(fd));
}

}  // namespace
}  // namespace vyn
