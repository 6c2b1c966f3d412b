#include <gtest/gtest.h>

#include "platform/win/blocking_message_box_provider.h"
#include "platform/win/event.h"
#include "platform/win/message_box.h"
#include "platform/win/thread.h"
#include "tests/platform/win/messaging_fixture.h"

namespace vyn {
namespace {

using std::chrono::seconds;
using testing::MessagingTest;
using testing::RecordingWindow;
using testing::Watchdog;

// Installs a provider for one test and restores the previous one.
class ScopedProvider {
 public:
  explicit ScopedProvider(std::shared_ptr<MessageBoxProvider> provider)
      : previous_(SetMessageBoxProvider(std::move(provider))) {}
  ~ScopedProvider() { SetMessageBoxProvider(previous_); }

 private:
  std::shared_ptr<MessageBoxProvider> previous_;
};

class MessageBoxTest : public MessagingTest {};

// Catches a wrong default answer when no provider is installed (the host
// shows nothing and the box must answer as if its default were pressed).
TEST_F(MessageBoxTest, WithoutAProviderTheDefaultButtonAnswers) {
  static const struct {
    UINT type;
    int answer;
  } kCases[] = {
      {MB_OK, IDOK},
      {MB_YESNO | MB_ICONQUESTION, IDYES},
      {MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, IDNO},
      {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
      {MB_OKCANCEL | MB_DEFBUTTON4, IDOK},  // no fourth button: the first
      {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, IDRETRY},
      {MB_RETRYCANCEL, IDRETRY},
      {MB_CANCELTRYCONTINUE | MB_DEFBUTTON3, IDCONTINUE},
  };
  ScopedProvider none(nullptr);
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.type);
    EXPECT_EQ(MessageBoxW(nullptr, u"text", u"caption", c.type), c.answer);
    EXPECT_EQ(MessageBoxA(nullptr, "text", nullptr, c.type), c.answer);
  }
}

class RecordingProvider : public MessageBoxProvider {
 public:
  int Show(const MessageBoxRequest& request) override {
    last = request;
    return IDNO;
  }
  MessageBoxRequest last;
};

// Catches texts garbled on their way to the provider (ANSI bytes above
// 0x7F, a null caption) and a provider that is not restored.
TEST_F(MessageBoxTest, ProviderReceivesTheQuestion) {
  auto provider = std::make_shared<RecordingProvider>();
  {
    ScopedProvider use(provider);
    HWND owner = reinterpret_cast<HWND>(0x1234);
    EXPECT_EQ(MessageBoxA(owner, "\x80 caf\xE9", nullptr, MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(provider->last.text, u"\u20AC caf\u00E9");
    EXPECT_EQ(provider->last.caption, u"Error");
    EXPECT_EQ(provider->last.owner, owner);
    EXPECT_EQ(provider->last.type, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(MessageBoxW(nullptr, u"File exists", u"Tarnwell", MB_YESNO), IDNO);
    EXPECT_EQ(provider->last.caption, u"Tarnwell");
    EXPECT_EQ(SetMessageBoxProvider(provider), provider);
  }
  EXPECT_EQ(MessageBoxW(nullptr, u"x", nullptr, MB_YESNO | MB_DEFBUTTON2), IDNO);
}

// Answers when told to (or never, until cancelled); its questions run on
// helper threads.
class ScriptedProvider : public BlockingMessageBoxProvider {
 public:
  Event asked{EventReset::kManual};
  Event release{EventReset::kManual};
  std::atomic<int> answer{IDNO};

 protected:
  int Ask(const MessageBoxRequest&, const Event& cancelled) override {
    asked.Set();
    HANDLE handles[] = {release.handle(), cancelled.handle()};
    WaitForMultipleObjects(2, handles, FALSE, 10000);
    return answer;
  }
};

// Catches a modal question that blocks its thread's queue: a worker that
// sends to the asking thread while the box is open (the overwrite
// question pattern) would deadlock, and earlier posts would not arrive.
TEST_F(MessageBoxTest, OpenBoxKeepsAnsweringSentAndPostedMessages) {
  Watchdog watchdog(seconds(20), "message box with a send");
  auto provider = std::make_shared<ScriptedProvider>();
  ScopedProvider use(provider);
  RecordingWindow window([](UINT, WPARAM, LPARAM) -> LRESULT { return 3; });

  std::atomic<LRESULT> sent_answer{0};
  auto worker = Thread::Start([&] {
    provider->asked.Wait(10000);
    PostMessageW(window.hwnd(), WM_USER + 1, 0, 0);
    sent_answer = SendMessageW(window.hwnd(), WM_USER + 2, 0, 0);
    provider->release.Set();
  });
  ASSERT_TRUE(worker.ok());
  PostQuitMessage(0);  // stays queued for the thread's own loop

  EXPECT_EQ(MessageBoxW(window.hwnd(), u"Overwrite?", u"Tarnwell", MB_YESNO), IDNO);
  EXPECT_EQ(sent_answer.load(), 3);
  EXPECT_EQ(window.CountOf(WM_USER + 1), 1u);
  MSG quit;
  ASSERT_TRUE(PeekMessageW(&quit, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(quit.message, WM_QUIT);
}

// Catches a cancelled box that leaves its asker waiting, answers that are
// not buttons of the box, and a cancel that answers anything but the
// default.
TEST_F(MessageBoxTest, CancelAndInvalidAnswersGiveTheDefault) {
  Watchdog watchdog(seconds(20), "cancelled message box");
  auto provider = std::make_shared<ScriptedProvider>();
  ScopedProvider use(provider);

  auto canceller = Thread::Start([&] {
    provider->asked.Wait(10000);
    provider->Cancel();
  });
  ASSERT_TRUE(canceller.ok());
  provider->answer = IDYES;
  EXPECT_EQ(MessageBoxW(nullptr, u"?", nullptr, MB_YESNO | MB_DEFBUTTON2), IDNO);
  canceller->Join();

  provider->release.Set();
  provider->answer = IDRETRY;  // not a button of a yes/no box
  EXPECT_EQ(MessageBoxW(nullptr, u"?", nullptr, MB_YESNO), IDYES);
  provider->answer = IDNO;
  EXPECT_EQ(MessageBoxW(nullptr, u"?", nullptr, MB_YESNO), IDNO);
}

}  // namespace
}  // namespace vyn
