#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <thread>

#include "control/event_window.h"
#include "platform/com/bstr.h"
#include "platform/com/connection_points.h"
#include "platform/win/last_error.h"
#include "platform/win/message_loop.h"
#include "platform/win/message_pump.h"
#include "platform/win/thread.h"
#include "tests/control/control_test_support.h"
#include "tests/extract/wav_file.h"
#include "tests/virtual/temp_folder.h"

namespace vyn {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::ControlTest;
using testing::ReceivedEvent;
using testing::RecordingSink;
using testing::ScriptedMessageBox;

constexpr auto kDeadline = 20000ms;
// Sectors of the two tracks of the test disc.
constexpr LONG kLongTrack = 4500;
constexpr LONG kShortTrack = 750;

enum : DISPID { kProgress = 1, kStart = 2, kEnd = 3, kError = 4 };

// Ends the test process when a step that must not block has not returned
// within the deadline, instead of letting it hang.
class Watchdog {
 public:
  explicit Watchdog(const char* what)
      : thread_([this, what] {
          std::unique_lock lock(mutex_);
          if (!done_cv_.wait_for(lock, kDeadline, [&] { return done_; })) {
            std::fprintf(stderr, "hung: %s\n", what);
            std::_Exit(1);
          }
        }) {}
  ~Watchdog() {
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    done_cv_.notify_all();
    thread_.join();
  }

 private:
  std::mutex mutex_;
  std::condition_variable done_cv_;
  bool done_ = false;  // guarded by mutex_
  std::thread thread_;
};

std::u16string ErrorText() {
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.Receive()) != S_OK)
    return u"(no error object)";
  Bstr description;
  info->GetDescription(description.Receive());
  return std::u16string(description.View());
}

// A control on "synthetic:a4500,a750" with one subscriber, in a test folder
// that is also the current directory while the test runs.
class ExtractionTest : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    start_dir_ = fs::current_path();
    control_ = MakeControl("synthetic:a4500,a750");
    ASSERT_TRUE(control_);
    control_->put_OverwritePrompt(VARIANT_FALSE);
    auto container = control_.As<IConnectionPointContainer>();
    ASSERT_EQ(container->FindConnectionPoint(DIID__IVynCDRipperEvents, point_.Receive()), S_OK);
    auto sink = RecordingSink::Create("host", &log_);
    ASSERT_EQ(point_->Advise(sink->AsUnknown(), &cookie_), S_OK);
    ComPtr<IDrive> drive;
    ASSERT_EQ(control_->GetDrive(1, drive.Receive()), S_OK);
    ASSERT_EQ(drive->GetTrack(1, long_track_.Receive()), S_OK);
    ASSERT_EQ(drive->GetTrack(2, short_track_.Receive()), S_OK);
  }
  void TearDown() override {
    VynVirtualSetCompletionDelay(0);
    long_track_ = nullptr;
    short_track_ = nullptr;
    point_ = nullptr;
    control_ = nullptr;
    RunUntilIdle();
    fs::current_path(start_dir_);
    ControlTest::TearDown();
  }

  Bstr Name(const std::string& name) const {
    return Bstr(fs::path(folder_.path() + "/" + name).u16string());
  }
  fs::path File(const std::string& name) const { return fs::path(folder_.path()) / name; }
  std::size_t Count(DISPID dispid) const {
    return std::count_if(log_.begin(), log_.end(), [&](auto& e) { return e.dispid == dispid; });
  }
  bool PumpUntil(const std::function<bool()>& done) { return PumpMessagesUntil(done, kDeadline); }
  bool PumpUntilIdleControl() {
    return PumpUntil([&] { return !Internals(control_).IsExtractionRunning(); }) &&
           RunUntilIdle() >= 0;
  }
  // The events of one job as dispids, progress values apart.
  static std::vector<DISPID> Shape(const std::vector<ReceivedEvent>& log) {
    std::vector<DISPID> shape;
    for (const auto& e : log) {
      if (e.dispid != kProgress || e.value == 100)
        shape.push_back(e.dispid == kProgress ? 100 : e.dispid);
    }
    return shape;
  }

  virtual_drive::TempFolder folder_;
  fs::path start_dir_;
  ComPtr<IVynCDRipper> control_;
  ComPtr<IConnectionPoint> point_;
  DWORD cookie_ = 0;
  std::vector<ReceivedEvent> log_;
  ComPtr<ITrack> long_track_;
  ComPtr<ITrack> short_track_;
};

// Catches events missing, repeated or out of order on the host's thread,
// progress that falls back, and a file whose audio or lengths are wrong;
// and a second start that replaces the running job.
TEST_F(ExtractionTest, ATrackIsRippedWithItsEventsInOrder) {
  VynVirtualSetCompletionDelay(5);
  ASSERT_EQ(short_track_->ExtractToWav(Name("short").Get()), S_OK);
  EXPECT_EQ(short_track_->ExtractToWav(Name("other").Get()), DISP_E_EXCEPTION);
  EXPECT_EQ(ErrorText(), u"Extraction is already in progress.");
  ASSERT_TRUE(PumpUntil([&] { return Count(kEnd) == 1; }));
  ASSERT_TRUE(PumpUntilIdleControl());

  ASSERT_GE(log_.size(), 4u);
  EXPECT_EQ(log_.front().dispid, kStart);
  EXPECT_EQ(log_[1].dispid, kProgress);
  EXPECT_EQ(log_[1].value, 0);
  EXPECT_EQ(log_.back().dispid, kEnd);
  EXPECT_EQ(log_[log_.size() - 2].value, 100);
  for (std::size_t i = 2; i + 1 < log_.size(); ++i) {
    EXPECT_EQ(log_[i].dispid, kProgress);
    EXPECT_GT(log_[i].value, log_[i - 1].value);
  }
  const auto data = testing::WavData(testing::FileBytes(File("short.wav")));
  EXPECT_EQ(data.size(), std::size_t{kShortTrack} * 2352);
  EXPECT_FALSE(fs::exists(File("other.wav")));
}

// Catches a cancel that still raises 100 or an error, leaves a broken
// file, or is not cleared for the next run.
TEST_F(ExtractionTest, CancelEndsTheJobWithAValidFileAndDoesNotLinger) {
  EXPECT_EQ(control_->CancelExtraction(), S_FALSE);
  VynVirtualSetCompletionDelay(5);
  ASSERT_EQ(long_track_->ExtractToWav(Name("long").Get()), S_OK);
  ASSERT_TRUE(PumpUntil([&] { return Count(kProgress) >= 2; }));
  EXPECT_EQ(control_->CancelExtraction(), S_OK);
  ASSERT_TRUE(PumpUntilIdleControl());
  EXPECT_EQ(log_.back().dispid, kEnd);
  EXPECT_EQ(Count(kError), 0u);
  EXPECT_TRUE(std::none_of(log_.begin(), log_.end(), [](auto& e) { return e.value == 100; }));
  const auto data = testing::WavData(testing::FileBytes(File("long.wav")));
  EXPECT_LT(data.size(), std::size_t{kLongTrack} * 2352);

  log_.clear();
  VynVirtualSetCompletionDelay(0);
  ASSERT_EQ(short_track_->ExtractToWav(Name("long").Get()), S_OK);
  ASSERT_TRUE(PumpUntilIdleControl());
  EXPECT_EQ(Shape(log_), (std::vector<DISPID>{kStart, 100, kEnd}));
}

// Catches a "No" that lets the batch go on, replaces the file, or raises
// a start or end for the refused job.
TEST_F(ExtractionTest, AnswerNoInTheMiddleOfABatchEndsIt) {
  auto box = std::make_shared<ScriptedMessageBox>(IDNO);
  SetMessageBoxProvider(box);
  control_->put_OverwritePrompt(VARIANT_TRUE);
  folder_.Write("two.wav", "keep me");
  ASSERT_EQ(short_track_->QueueExtractToWav(Name("one").Get()), S_OK);
  ASSERT_EQ(short_track_->QueueExtractToWav(Name("two").Get()), S_OK);
  ASSERT_EQ(short_track_->QueueExtractToWav(Name("three").Get()), S_OK);
  ASSERT_EQ(control_->RunQueue(), S_OK);
  ASSERT_TRUE(PumpUntil([&] { return Count(kError) == 1; }));
  ASSERT_TRUE(PumpUntilIdleControl());
  EXPECT_EQ(Shape(log_), (std::vector<DISPID>{kStart, 100, kEnd, kError}));
  EXPECT_EQ(log_.back().text, u"Cancelled by user.");
  EXPECT_EQ(box->asked().size(), 1u);
  EXPECT_EQ(testing::FileBytes(File("two.wav")).size(), 7u);
  EXPECT_FALSE(fs::exists(File("three.wav")));
  testing::WavData(testing::FileBytes(File("one.wav")));
}

// Catches a batch that shares the host's queue: cleared jobs that vanish
// from the running batch, jobs added during it that join it, a queue
// emptied by running it, and RunQueue accepted while a batch runs.
TEST_F(ExtractionTest, TheBatchRunsOnItsOwnCopyOfTheQueue) {
  EXPECT_EQ(control_->RunQueue(), DISP_E_EXCEPTION);
  EXPECT_EQ(ErrorText(), u"Extraction queue is empty.");
  VynVirtualSetCompletionDelay(5);
  ASSERT_EQ(short_track_->QueueExtractToWav(Name("a").Get()), S_OK);
  ASSERT_EQ(short_track_->QueueExtractToWav(Name("b").Get()), S_OK);
  ASSERT_EQ(control_->RunQueue(), S_OK);
  EXPECT_EQ(control_->RunQueue(), DISP_E_EXCEPTION);
  EXPECT_EQ(ErrorText(), u"Extraction is already in progress.");
  ASSERT_EQ(short_track_->QueueExtractToWav(Name("c").Get()), S_OK);
  ASSERT_TRUE(PumpUntilIdleControl());
  EXPECT_EQ(Count(kEnd), 2u);
  EXPECT_FALSE(fs::exists(File("c.wav")));

  // The queue survived the run, with the job added during it.
  log_.clear();
  VynVirtualSetCompletionDelay(0);
  ASSERT_EQ(control_->RunQueue(), S_OK);
  EXPECT_EQ(control_->ClearQueue(), S_OK);
  ASSERT_TRUE(PumpUntilIdleControl());
  EXPECT_EQ(Count(kEnd), 3u);
  EXPECT_EQ(Count(kError), 0u);
  EXPECT_TRUE(fs::exists(File("c.wav")));
  EXPECT_EQ(control_->RunQueue(), DISP_E_EXCEPTION) << "ClearQueue emptied the queue";
  EXPECT_EQ(ErrorText(), u"Extraction queue is empty.");
}

// Catches an encoder job accepted without an encoder, or one that fails
// without a clear error while the encoder bridge is missing.
TEST_F(ExtractionTest, EncoderJobsNeedAnEncoder) {
  EXPECT_EQ(short_track_->ExtractToEncoder(Name("e").Get(), VARIANT_TRUE), DISP_E_EXCEPTION);
  EXPECT_EQ(ErrorText(), u"External encoder is not set.");
  EXPECT_EQ(short_track_->QueueExtractToEncoder(Name("e").Get(), VARIANT_FALSE), DISP_E_EXCEPTION);
  EXPECT_EQ(ErrorText(), u"External encoder is not set.");
  EXPECT_EQ(control_->RunQueue(), DISP_E_EXCEPTION) << "nothing was queued";
  EXPECT_EQ(ErrorText(), u"Extraction queue is empty.");

  auto encoder = testing::FakeEncoder::Create();
  ASSERT_EQ(control_->put_Encoder(encoder.Get()), S_OK);
  ASSERT_EQ(short_track_->ExtractToEncoder(Name("enc/e").Get(), VARIANT_TRUE), S_OK);
  ASSERT_TRUE(PumpUntilIdleControl());
  EXPECT_EQ(Shape(log_), (std::vector<DISPID>{kError}));
  EXPECT_TRUE(fs::is_directory(File("enc"))) << "the encoder's directory is made";
  control_->put_Encoder(nullptr);
}

// Catches a run that stays claimed, or raises events, when its thread
// cannot be started.
TEST_F(ControlTest, AThreadThatCannotStartFailsTheCallWithTheSystemCode) {
  ASSERT_EQ(VynVirtualConfigure("synthetic:a750"), 0);
  ControlOptions options;
  options.transport.library_name = VYN_VIRTUAL_LIBRARY;
  options.extraction.start_thread = [](std::function<void()>) -> Result<Thread> {
    return Error{HRESULT_FROM_WIN32(ERROR_NOT_ENOUGH_MEMORY), "no thread"};
  };
  ComPtr<IVynCDRipper> control;
  ASSERT_EQ(CreateVynCDRipper(nullptr, IVynCDRipper::kIid, control.ReceiveVoid(), options), S_OK);
  ComPtr<IDrive> drive;
  ComPtr<ITrack> track;
  ASSERT_EQ(control->GetDrive(1, drive.Receive()), S_OK);
  ASSERT_EQ(drive->GetTrack(1, track.Receive()), S_OK);
  EXPECT_EQ(track->ExtractToWav(Bstr(u"/nonexistent/x").Get()),
            HRESULT_FROM_WIN32(ERROR_NOT_ENOUGH_MEMORY));
  EXPECT_FALSE(Internals(control).IsExtractionRunning());
  EXPECT_EQ(control->CancelExtraction(), S_FALSE);
}

// Catches two start calls that both pass the check (a job silently lost,
// or the lists raced): exactly one run starts.
TEST_F(ExtractionTest, RacingStartCallsStartOneRun) {
  VynVirtualSetCompletionDelay(5);
  std::atomic<int> started{0};
  std::atomic<int> refused{0};
  auto call = [&](const char* name) {
    HRESULT hr = short_track_->ExtractToWav(Name(name).Get());
    (hr == S_OK ? started : refused)++;
    ErrorText();  // each thread's own error object
    short_track_->QueueExtractToWav(Name(name).Get());
  };
  auto first = Thread::Start([&] { call("x"); });
  auto second = Thread::Start([&] { call("y"); });
  ASSERT_TRUE(first && second);
  first->Join();
  second->Join();
  EXPECT_EQ(started.load(), 1);
  EXPECT_EQ(refused.load(), 1);
  ASSERT_TRUE(PumpUntilIdleControl());
  EXPECT_EQ(Count(kEnd), 1u);
}

// Catches a destruction that hangs (or deadlocks) while a run reads, or
// while its worker waits for the host's answer to the overwrite question.
TEST_F(ExtractionTest, DestroyingTheControlMidRunReturnsPromptly) {
  VynVirtualSetCompletionDelay(5);
  ASSERT_EQ(long_track_->ExtractToWav(Name("mid").Get()), S_OK);
  ASSERT_TRUE(PumpUntil([&] { return Count(kProgress) >= 1; }));
  {
    Watchdog watchdog("destroying the control during a run");
    long_track_ = nullptr;
    short_track_ = nullptr;
    point_ = nullptr;
    control_ = nullptr;
  }
  testing::WavData(testing::FileBytes(File("mid.wav")));
}

// Catches a deadlock between a destruction that waits for the worker and
// a worker that waits for the host's answer, and a file replaced anyway.
TEST_F(ExtractionTest, DestroyingTheControlWhileTheQuestionIsOpenReturnsPromptly) {
  control_->put_OverwritePrompt(VARIANT_TRUE);
  folder_.Write("asked.wav", "old");
  ASSERT_EQ(short_track_->ExtractToWav(Name("asked").Get()), S_OK);
  // The question waits in the host's queue; nobody pumps it.
  const HWND hwnd = Internals(control_).event_window().hwnd();
  MSG message{};
  const auto deadline = std::chrono::steady_clock::now() + kDeadline;
  while (!PeekMessageW(&message, hwnd, kMsgOverwriteQuestion, kMsgOverwriteQuestion, PM_NOREMOVE)) {
    ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the question never came";
    std::this_thread::sleep_for(1ms);
  }
  {
    Watchdog watchdog("destroying the control while the question is open");
    long_track_ = nullptr;
    short_track_ = nullptr;
    point_ = nullptr;
    control_ = nullptr;
  }
  EXPECT_EQ(testing::FileBytes(File("asked.wav")).size(), 3u);
}

}  // namespace
}  // namespace vyn
