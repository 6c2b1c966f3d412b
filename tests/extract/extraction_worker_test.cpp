#include "extract/extraction_worker.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "control/event_window.h"
#include "extract/audio_units.h"
#include "platform/text/code_page.h"
#include "tests/extract/faulty_file_layer.h"
#include "tests/extract/wav_file.h"
#include "tests/virtual/temp_folder.h"

namespace vyn {
namespace {

namespace fs = std::filesystem;
using virtual_drive::TempFolder;

// One posted event, as the host would see it; progress values in `value`.
struct Posted {
  UINT message;
  int value = 0;
  std::string text;
  bool operator==(const Posted&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Posted& p) {
  return out << p.message - WM_USER << "(" << p.value << "," << p.text << ")";
}

const Posted kStart{kMsgExtractionStart, 0, ""};
const Posted kEnd{kMsgExtractionEnd, 0, ""};
const Posted kJitter{kMsgJitterDetected, 0, ""};
Posted Progress(int value) {
  return {kMsgProgress, value, ""};
}
Posted Failed(std::string text) {
  return {kMsgExtractionError, 0, std::move(text)};
}

// Records what the worker posts and answers the overwrite question from a
// script. The worker runs on the test's thread here.
class RecordingContext final : public ExtractionContext {
 public:
  bool cancel_requested() const override { return cancel_.load(); }
  const std::atomic<LONG>& jitter_correction_flag() const override { return correction_; }
  OverwriteAnswer AskOverwrite() override {
    ++questions;
    return answer;
  }
  void PostEvent(UINT message, WPARAM wparam) override {
    Posted posted{message, 0, ""};
    if (message == kMsgProgress)
      posted.value = static_cast<int>(wparam);
    if (message == kMsgExtractionError)
      posted.text = WideToAnsi(reinterpret_cast<const char16_t*>(wparam));
    events.push_back(posted);
  }
  void EndRun() override { ++ended; }
  void Cancel() { cancel_.store(true); }

  std::vector<Posted> events;
  OverwriteAnswer answer = OverwriteAnswer::kReplace;
  int questions = 0;
  int ended = 0;

 private:
  std::atomic<bool> cancel_{false};
  std::atomic<LONG> correction_{0};
};

// A track of `chunks` chunks of kChunkBytes, each filled with its number;
// progress before chunk i is i * 100 / chunks. It can miss the overlap on
// one chunk, fail on another, and run a hook before each read.
struct ScriptedTrack {
  int chunks = 3;
  int jitter_miss_at = -1;
  int fail_at = -1;
  std::function<void(int chunk)> before_read;
};

class ScriptedReader final : public TrackReader {
 public:
  explicit ScriptedReader(const ScriptedTrack& track) : track_(track) {}
  void Prepare(const DriveRecord&, int) override {
    next_ = 0;
    prepared_ = true;
  }
  ReadStatus ReadNext(std::span<BYTE> output, std::uint32_t* length) override {
    if (track_.before_read)
      track_.before_read(next_);
    if (!prepared_ || next_ == track_.fail_at)
      return ReadStatus::kFailed;
    *length = 0;
    if (next_ == track_.chunks)
      return ReadStatus::kChunk;
    progress_ = next_ * 100 / track_.chunks;
    std::fill_n(output.begin(), kChunkBytes, static_cast<BYTE>(next_ + 1));
    *length = kChunkBytes;
    return next_++ == track_.jitter_miss_at ? ReadStatus::kChunkAfterJitterMiss
                                            : ReadStatus::kChunk;
  }
  void Release() override { prepared_ = false; }
  int progress() const override { return progress_; }
  std::uint32_t bytes_remaining() const override {
    return static_cast<std::uint32_t>(track_.chunks - next_) * kChunkBytes;
  }
  Message error() const override { return Message::kReaderNoBuffer; }

 private:
  const ScriptedTrack& track_;
  int next_ = 0;
  int progress_ = 0;
  bool prepared_ = false;
};

// Files whose length fields cannot be written at the end.
class NoLengthUpdateFiles final : public FileLayer {
 public:
  Result<std::unique_ptr<OutputFile>> CreateExclusive(const std::string& path) override {
    auto file = SystemFileLayer().CreateExclusive(path);
    if (!file)
      return file.error();
    return std::unique_ptr<OutputFile>(std::make_unique<File>(std::move(file.value())));
  }

 private:
  class File final : public OutputFile {
   public:
    explicit File(std::unique_ptr<OutputFile> inner) : inner_(std::move(inner)) {}
    Result<void> Append(std::span<const BYTE> bytes) override { return inner_->Append(bytes); }
    Result<void> Overwrite(std::uint64_t offset, std::span<const BYTE> bytes) override {
      // The header is written once at the start; later patches fail.
      if (inner_->size() > kHeaderBytes)
        return Error{E_FAIL, "cannot seek"};
      return inner_->Overwrite(offset, bytes);
    }
    std::uint64_t size() const override { return inner_->size(); }
    Result<void> Close() override { return inner_->Close(); }

   private:
    static constexpr std::uint64_t kHeaderBytes = 46;
    std::unique_ptr<OutputFile> inner_;
  };
};

class ExtractionWorkerTest : public ::testing::Test {
 protected:
  ExtractionWorkerTest() {
    seams_.make_reader = [this](const std::atomic<LONG>&) {
      return std::make_unique<ScriptedReader>(track_);
    };
  }
  void SetUp() override { start_ = fs::current_path(); }
  void TearDown() override { fs::current_path(start_); }

  ExtractionJob WavJob(const std::string& name) const {
    ExtractionJob job;
    job.output_name = (fs::path(folder_.path()) / name).u16string();
    return job;
  }
  void Run(const std::vector<ExtractionJob>& jobs) {
    ExtractionWorker worker(context_, seams_);
    worker.Run(jobs);
  }
  std::vector<BYTE> Data(const std::string& name) const {
    return testing::WavData(testing::FileBytes(fs::path(folder_.path()) / name));
  }

  fs::path start_;
  TempFolder folder_;
  ScriptedTrack track_;
  ExtractionSeams seams_;
  RecordingContext context_;
};

// Catches events out of order, a missing 0 or 100, progress repeated for
// an unchanged value, a jitter notice after its chunk's progress, and
// audio lost between the reader and the file.
TEST_F(ExtractionWorkerTest, ASuccessfulJobReportsInOrderAndWritesEveryChunk) {
  track_.jitter_miss_at = 1;
  track_.chunks = 4;  // progress 0, 25, 50, 75
  Run({WavJob("t")});
  EXPECT_EQ(context_.events,
            (std::vector<Posted>{kStart, Progress(0), kJitter, Progress(25), Progress(50),
                                 Progress(75), Progress(100), kEnd}));
  const auto data = Data("t.wav");
  ASSERT_EQ(data.size(), 4 * kChunkBytes);
  EXPECT_EQ(data.front(), 1);
  EXPECT_EQ(data.back(), 4);
  EXPECT_EQ(context_.questions, 0);
}

// Catches a failure reported in the wrong place of the sequence, a job
// after a failure still starting, a second error for the same failure,
// and an output left malformed.
TEST_F(ExtractionWorkerTest, EachFailurePointHasItsEventOrderAndEndsTheRun) {
  folder_.Write("blocker", "a file, not a directory");
  NoLengthUpdateFiles no_length_update;
  static const struct Case {
    const char* name;
    JobKind kind;
    const char* output;
    int fail_at;
    FileLayer* files;
    std::vector<Posted> expected;
    std::size_t chunks_in_file;  // of the first job's file; SIZE_MAX: none
  } kCases[] = {
      {"file cannot be created",
       JobKind::kWav,
       "blocker/t",
       -1,
       nullptr,
       {Failed("Cannot create wav-file")},
       SIZE_MAX},
      {"unknown kind",
       static_cast<JobKind>(7),
       "t",
       -1,
       nullptr,
       {Failed("Internal error #7603")},
       SIZE_MAX},
      {"encoder cannot start",
       JobKind::kEncoder,
       "enc/t",
       -1,
       nullptr,
       {Failed("Internal error #7653. External encoder was unable to start.")},
       SIZE_MAX},
      {"read fails",
       JobKind::kWav,
       "t",
       1,
       nullptr,
       {kStart, Progress(0), Failed("Internal Error #7601"), Progress(100), kEnd},
       1},
      {"finish fails",
       JobKind::kWav,
       "t",
       -1,
       &no_length_update,
       {kStart, Progress(0), Progress(33), Progress(66), Progress(100), kEnd,
        Failed("Write error")},
       SIZE_MAX},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    context_.events.clear();
    track_.fail_at = c.fail_at;
    seams_.sink.files = c.files ? c.files : &SystemFileLayer();
    ExtractionJob first = WavJob(c.output);
    first.kind = c.kind;
    Run({first, WavJob("never")});
    EXPECT_EQ(context_.events, c.expected);
    EXPECT_FALSE(fs::exists(fs::path(folder_.path()) / "never.wav")) << "a later job ran";
    if (c.chunks_in_file != SIZE_MAX) {
      EXPECT_EQ(Data(std::string(c.output) + ".wav").size(), c.chunks_in_file * kChunkBytes);
    }
    fs::remove(fs::path(folder_.path()) / "t.wav");
  }
}

// Catches a full disk that is not reported, reported twice, or reported
// without the job's end; and a file left without its lengths.
TEST_F(ExtractionWorkerTest, AFullDiskIsAWriteErrorWithAWellFormedFile) {
  track_.chunks = 40;  // more than the pipe holds, so a write finds the failure
  testing::FullDiskFileLayer full(5 * kChunkBytes);
  seams_.sink.files = &full;
  Run({WavJob("t"), WavJob("never")});
  const auto& events = context_.events;
  ASSERT_GE(events.size(), 4u);
  EXPECT_EQ(events.front(), kStart);
  EXPECT_EQ(std::count(events.begin(), events.end(), Failed("Write error")), 1);
  EXPECT_EQ(events[events.size() - 3], Failed("Write error"));
  EXPECT_EQ(events[events.size() - 2], Progress(100));
  EXPECT_EQ(events.back(), kEnd);
  EXPECT_LE(Data("t.wav").size(), 5 * kChunkBytes);
  EXPECT_FALSE(fs::exists(fs::path(folder_.path()) / "never.wav"));
}

// Catches a cancelled job that still raises 100 or an error, delivers the
// chunk read after the cancel, leaves its file unfinished, or lets the
// next job of the batch start.
TEST_F(ExtractionWorkerTest, ACancelledJobEndsWithoutHundredAndKeepsWhatWasDelivered) {
  track_.before_read = [this](int chunk) {
    if (chunk == 1)
      context_.Cancel();
  };
  Run({WavJob("t"), WavJob("never")});
  EXPECT_EQ(context_.events, (std::vector<Posted>{kStart, Progress(0), Progress(33), kEnd}));
  EXPECT_EQ(Data("t.wav").size(), 2 * kChunkBytes);
  EXPECT_FALSE(fs::exists(fs::path(folder_.path()) / "never.wav"));
}

// Catches an existing file replaced against a "No", a job that still
// starts after it, and a read-only file that blocks a "Yes".
TEST_F(ExtractionWorkerTest, TheOverwriteAnswerDecidesAboutAnExistingFile) {
  const std::string old = folder_.Write("t.wav", "old content");
  context_.answer = OverwriteAnswer::kKeep;
  Run({WavJob("t"), WavJob("never")});
  EXPECT_EQ(context_.events, std::vector<Posted>{Failed("Cancelled by user.")});
  EXPECT_EQ(testing::FileBytes(old).size(), 11u);
  EXPECT_FALSE(fs::exists(fs::path(folder_.path()) / "never.wav"));

  context_.events.clear();
  context_.answer = OverwriteAnswer::kReplace;
  fs::permissions(old, fs::perms::owner_read);
  Run({WavJob("t.WAV")});
  EXPECT_EQ(context_.events.back(), kEnd);
  EXPECT_EQ(Data("t.WAV").size(), 3 * kChunkBytes);
  EXPECT_EQ(context_.questions, 1) << "t.WAV is another file on this system";
}

// Catches a run thread that does not end its run, or runs the jobs twice.
TEST_F(ExtractionWorkerTest, ARunOnItsThreadEndsTheRunOnce) {
  auto thread = StartExtractionRun(context_, {WavJob("a"), WavJob("b")}, seams_);
  ASSERT_TRUE(thread);
  ASSERT_TRUE(thread->Wait(10000));
  EXPECT_EQ(context_.ended, 1);
  EXPECT_EQ(std::count(context_.events.begin(), context_.events.end(), kEnd), 2);
}

}  // namespace
}  // namespace vyn
