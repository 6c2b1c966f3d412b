#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "control/event_window.h"
#include "control/overwrite_question.h"
#include "platform/com/connection_points.h"
#include "platform/win/message_loop.h"
#include "platform/win/message_pump.h"
#include "platform/win/thread.h"
#include "platform/win/window.h"
#include "tests/control/control_test_support.h"

namespace vyn {
namespace {

using namespace std::chrono_literals;
using testing::ControlTest;
using testing::ReceivedEvent;
using testing::RecordingSink;
using testing::ScriptedMessageBox;

constexpr auto kDeadline = 10s;

class EventDeliveryTest : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    control_ = MakeControl("empty");
    ASSERT_TRUE(control_);
    ComPtr<IConnectionPointContainer> container = control_.As<IConnectionPointContainer>();
    ASSERT_EQ(container->FindConnectionPoint(DIID__IVynCDRipperEvents, point_.Receive()), S_OK);
  }
  void TearDown() override {
    point_ = nullptr;
    control_ = nullptr;
    ControlTest::TearDown();
  }

  DWORD Subscribe(const std::string& name, HRESULT answer = S_OK) {
    DWORD cookie = 0;
    auto sink = RecordingSink::Create(name, &log_, answer);
    EXPECT_EQ(point_->Advise(sink->AsUnknown(), &cookie), S_OK);
    return cookie;
  }
  VynCDRipper& control() { return Internals(control_); }
  // Pumps the host's queue until `count` events have arrived.
  bool PumpUntilEvents(std::size_t count) {
    return PumpMessagesUntil([&] { return log_.size() >= count; },
                             std::chrono::duration_cast<std::chrono::milliseconds>(kDeadline));
  }

  ComPtr<IVynCDRipper> control_;
  ComPtr<IConnectionPoint> point_;
  std::vector<ReceivedEvent> log_;
};

// Catches events raised out of order, to one subscriber only, twice, or
// stopped by a failing subscriber; and texts or values lost on the way
// from another thread.
TEST_F(EventDeliveryTest, EverySubscriberGetsEveryEventOnceInOrder) {
  Subscribe("first", E_FAIL);  // a failing subscriber does not stop the next
  Subscribe("second");
  auto poster = Thread::Start([&] {
    control().PostEvent(kMsgExtractionStart, 0);
    control().PostEvent(kMsgProgress, 42);
    const std::u16string text = u"Write error";
    control().PostEvent(kMsgExtractionError, reinterpret_cast<WPARAM>(text.c_str()));
    control().PostEvent(kMsgJitterDetected, 0);
    control().PostEvent(kMsgExtractionEnd, 0);
    control().PostEvent(kMsgDiskChanged, 0);
  });
  ASSERT_TRUE(poster.ok());
  poster->Join();  // the texts the poster passed are gone by now
  ASSERT_TRUE(PumpUntilEvents(12));

  std::vector<ReceivedEvent> expected;
  auto both = [&](DISPID dispid, VARTYPE type = VT_EMPTY, LONG value = 0,
                  std::u16string text = u"") {
    ReceivedEvent event;
    event.dispid = dispid;
    event.type = type;
    event.value = value;
    event.text = std::move(text);
    event.subscriber = "first";
    expected.push_back(event);
    event.subscriber = "second";
    expected.push_back(event);
  };
  both(kDispidOnExtractionStart);
  both(kDispidOnProgress, VT_I4, 42);
  both(kDispidOnExtractionError, VT_BSTR, 0, u"Write error");
  both(kDispidOnJitterDetected);
  both(kDispidOnExtractionEnd);
  both(kDispidOnDiskChanged);
  EXPECT_EQ(log_, expected);
  EXPECT_EQ(control().event_window().PendingTextCount(), 0u);
}

// Catches a null error text that crashes or arrives as something other
// than an empty (null) BSTR, and an unsubscribed sink that still hears.
TEST_F(EventDeliveryTest, NullErrorTextArrivesAsAnEmptyString) {
  DWORD first = Subscribe("first");
  Subscribe("second");
  EXPECT_EQ(point_->Unadvise(first), S_OK);
  EXPECT_EQ(point_->Unadvise(first), CONNECT_E_NOCONNECTION);
  control().PostEvent(kMsgExtractionError, 0);
  ASSERT_TRUE(PumpUntilEvents(1));
  RunUntilIdle();
  ASSERT_EQ(log_.size(), 1u);
  EXPECT_EQ(log_[0].subscriber, "second");
  EXPECT_EQ(log_[0].type, VT_BSTR);
  EXPECT_TRUE(log_[0].null_text);
  EXPECT_EQ(log_[0].text, u"");
}

// Catches a control that raises queued events after it is gone, or leaks
// the text copies and references of messages that were never handled.
TEST_F(EventDeliveryTest, ADestroyedControlRaisesNothingAndLeaksNothing) {
  Subscribe("only");
  for (int i = 0; i < 3; ++i) {
    control().PostEvent(kMsgExtractionError, reinterpret_cast<WPARAM>(u"Cannot create wav-file"));
    control().PostEvent(kMsgProgress, static_cast<WPARAM>(i));
  }
  EXPECT_EQ(control().event_window().PendingTextCount(), 3u);
  point_ = nullptr;
  control_ = nullptr;  // the teardown checks objects and module locks
  RunUntilIdle();
  EXPECT_TRUE(log_.empty());
}

// Catches a connection point that lists subscribers out of order, and
// enumerators that do not hold the module.
TEST_F(EventDeliveryTest, EnumeratorsListPointsAndConnections) {
  DWORD a = Subscribe("a");
  DWORD b = Subscribe("b");
  EXPECT_NE(a, b);
  ComPtr<IEnumConnections> connections;
  ASSERT_EQ(point_->EnumConnections(connections.Receive()), S_OK);
  const long locks = ModuleLockCount();
  CONNECTDATA data[3]{};
  ULONG fetched = 0;
  EXPECT_EQ(connections->Next(3, data, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 2u);
  EXPECT_EQ(data[0].dwCookie, a);
  EXPECT_EQ(data[1].dwCookie, b);
  for (ULONG i = 0; i < fetched; ++i)
    data[i].pUnk->Release();
  connections = nullptr;
  EXPECT_EQ(ModuleLockCount(), locks - 1);

  ComPtr<IEnumConnectionPoints> points;
  ASSERT_EQ(control_.As<IConnectionPointContainer>()->EnumConnectionPoints(points.Receive()), S_OK);
  ComPtr<IConnectionPoint> listed;
  EXPECT_EQ(points->Next(1, listed.Receive(), nullptr), S_OK);
  EXPECT_EQ(listed, point_);
  IID iid{};
  EXPECT_EQ(listed->GetConnectionInterface(&iid), S_OK);
  EXPECT_EQ(iid, DIID__IVynCDRipperEvents);
  ComPtr<IConnectionPoint> none;
  EXPECT_EQ(control_.As<IConnectionPointContainer>()->FindConnectionPoint(IDispatch::kIid,
                                                                          none.Receive()),
            CONNECT_E_NOCONNECTION);
}

// Catches a helper window made with the wrong title or style.
TEST_F(EventDeliveryTest, HelperWindowIsAHiddenPopup) {
  HWND hwnd = control().event_window().hwnd();
  ASSERT_TRUE(IsWindow(hwnd));
  WCHAR title[64]{};
  GetWindowTextW(hwnd, title, 64);
  EXPECT_EQ(std::u16string(title), u"VynCDRipperHelper");
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)), WS_POPUP);
}

// A stand-in for the extraction worker: claims a run, asks the overwrite
// question on a thread of its own, keeps the answer and ends the run.
class StandInWorker {
 public:
  explicit StandInWorker(VynCDRipper& control) {
    EXPECT_TRUE(control.TryClaimRun());
    auto started = Thread::Start([this, &control] {
      answer_.store(static_cast<int>(control.AskOverwrite()));
      done_.store(true);
      control.EndRun();  // the control may go as soon as this returns
    });
    EXPECT_TRUE(started.ok());
    if (started.ok())
      thread_ = std::move(*started);
  }
  bool done() const { return done_.load(); }
  int answer() const { return answer_.load(); }
  // Waits for the answer without pumping; a worker still waiting at the
  // deadline ends the test run, since its thread could not be joined.
  void WaitUntilDone() const {
    auto deadline = std::chrono::steady_clock::now() + kDeadline;
    while (!done() && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(1ms);
    if (!done()) {
      ADD_FAILURE() << "the worker still waits for its answer";
      std::fprintf(stderr, "the stand-in worker was never woken\n");
      std::_Exit(1);
    }
  }

 private:
  std::atomic<bool> done_{false};
  std::atomic<int> answer_{-1};
  Thread thread_;
};

// True once the worker's question waits in the host's queue; looks
// without dispatching anything.
bool QuestionQueued(HWND hwnd) {
  auto deadline = std::chrono::steady_clock::now() + kDeadline;
  MSG message{};
  while (!PeekMessageW(&message, hwnd, kMsgOverwriteQuestion, kMsgOverwriteQuestion, PM_NOREMOVE)) {
    if (std::chrono::steady_clock::now() > deadline)
      return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

// Catches a question answered without asking, a box with the wrong text,
// caption or buttons, or a "No" that still replaces the file.
TEST_F(EventDeliveryTest, OverwriteQuestionAsksTheHostWhenThePromptIsOn) {
  static const struct {
    const char* name;
    VARIANT_BOOL prompt;
    int box_answer;
    int expected;
    std::size_t boxes;
  } kCases[] = {
      {"yes", VARIANT_TRUE, IDYES, 1, 1},
      {"no", VARIANT_TRUE, IDNO, 0, 1},
      {"prompt off", VARIANT_FALSE, IDNO, 1, 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    auto box = std::make_shared<ScriptedMessageBox>(c.box_answer);
    SetMessageBoxProvider(box);
    control_->put_OverwritePrompt(c.prompt);
    StandInWorker worker(control());
    ASSERT_TRUE(PumpMessagesUntil([&] { return worker.done() && !control().IsExtractionRunning(); },
                                  10000ms));
    EXPECT_EQ(worker.answer(), c.expected);
    auto asked = box->asked();
    ASSERT_EQ(asked.size(), c.boxes);
    if (c.boxes) {
      EXPECT_EQ(asked[0].text, u"File already exists. Do you wish to overwrite it?");
      EXPECT_EQ(asked[0].caption, u"Tarnwell Control");
      EXPECT_EQ(asked[0].type, MB_YESNO | MB_ICONQUESTION);
      EXPECT_EQ(asked[0].owner, control().event_window().hwnd());
    }
  }
}

// Catches a worker left waiting (or a deadlock) when the control is
// destroyed or the run is cancelled while the host has not answered.
TEST_F(EventDeliveryTest, DestroyOrCancelWakesAWaitingWorkerWithKeep) {
  auto box = std::make_shared<ScriptedMessageBox>(IDYES);
  SetMessageBoxProvider(box);
  {
    StandInWorker worker(control());
    ASSERT_TRUE(QuestionQueued(control().event_window().hwnd()));
    EXPECT_FALSE(worker.done());
    EXPECT_EQ(control_->CancelExtraction(), S_OK);
    worker.WaitUntilDone();
    EXPECT_EQ(worker.answer(), 0);
    RunUntilIdle();  // the stale question is answered without a box
    while (control().IsExtractionRunning())
      std::this_thread::yield();
  }
  {
    StandInWorker worker(control());
    ASSERT_TRUE(QuestionQueued(control().event_window().hwnd()));
    point_ = nullptr;
    control_ = nullptr;
    worker.WaitUntilDone();
    EXPECT_EQ(worker.answer(), 0);
    RunUntilIdle();
  }
  EXPECT_TRUE(box->asked().empty());
}

// Catches a question channel that answers an abandoned question with the
// host's later decision, or that blocks a worker after it is closed.
TEST(OverwriteQuestionsTest, AbandonedQuestionsStayAnswered) {
  OverwriteQuestions questions;
  LPARAM delivered = 0;
  std::atomic<int> answer{-1};
  std::atomic<bool> sent{false};
  std::thread worker([&] {
    answer.store(static_cast<int>(questions.Ask(
        [&](LPARAM id) {
          delivered = id;
          sent.store(true);
          return true;
        },
        [] { return false; })));
  });
  while (!sent.load())
    std::this_thread::yield();
  questions.AbandonAll();
  worker.join();
  EXPECT_EQ(answer.load(), 0);
  int decided = 0;
  EXPECT_EQ(questions.Answer(delivered,
                             [&] {
                               ++decided;
                               return OverwriteAnswer::kReplace;
                             }),
            OverwriteAnswer::kKeep);
  EXPECT_EQ(decided, 0);

  questions.Close();
  EXPECT_EQ(questions.Ask([](LPARAM) { return true; }, [] { return false; }),
            OverwriteAnswer::kKeep);
}

}  // namespace
}  // namespace vyn
