#include "extract/wav_file_sink.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "control/messages.h"
#include "extract/audio_units.h"
#include "platform/win/last_error.h"
#include "tests/drive/test_support.h"
#include "tests/extract/faulty_file_layer.h"
#include "tests/extract/synthetic_pcm.h"
#include "tests/extract/wav_file.h"

namespace vyn {
namespace {

using testing::FileBytes;
using testing::FinishWithin;
using testing::FullDiskFileLayer;
using testing::SyntheticPcm;
using testing::WavData;

constexpr auto kDeadline = std::chrono::seconds(30);

class WavFileSinkTest : public ::testing::Test {
 protected:
  std::filesystem::path PathOf(const char* name) const { return folder_.path() / name; }
  std::u16string WideOf(const std::filesystem::path& path) const { return path.u16string(); }

  testing::TempFolder folder_;
};

// Catches a wrong header field, lengths left at zero, or bytes changed on
// their way through the pipe: the worker's chunks, and odd pieces that
// split frames, each stream more than the pipe holds.
TEST_F(WavFileSinkTest, FinishedFileHoldsTheHeaderAndEveryByte) {
  const struct {
    const char* name;
    std::size_t piece;
  } kCases[] = {{"chunks", kChunkBytes}, {"odd pieces", 4099}};
  for (const auto& test : kCases) {
    SCOPED_TRACE(test.name);
    FinishWithin(kDeadline, [&] {
      const std::vector<BYTE> pcm = SyntheticPcm(0, 400'000);
      auto sink = WavFileSink::Open(WideOf(PathOf("a.wav")));
      ASSERT_TRUE(sink.ok()) << sink.error().message;
      for (std::size_t at = 0; at < pcm.size(); at += test.piece) {
        const std::size_t length = std::min(test.piece, pcm.size() - at);
        ASSERT_TRUE((*sink)->Write(std::span(pcm).subspan(at, length)).ok());
      }
      ASSERT_TRUE((*sink)->Finish().ok());
      EXPECT_EQ(WavData(FileBytes(PathOf("a.wav"))), pcm);
      EXPECT_TRUE((*sink)->Finish().ok()) << "a second finish has nothing to do";
      EXPECT_EQ((*sink)->Write(std::span(pcm).first(4)).error().message,
                MessageText(Message::kWriteError));
    });
  }
}

// Catches a sink that leaves the lengths unwritten when it is destroyed
// without finishing (a job abandoned after its file was opened).
TEST_F(WavFileSinkTest, DestructionLeavesAWellFormedFile) {
  FinishWithin(kDeadline, [&] {
    const std::vector<BYTE> pcm = SyntheticPcm(5, 30'000);
    {
      auto sink = WavFileSink::Open(WideOf(PathOf("b.wav")));
      ASSERT_TRUE(sink.ok());
      ASSERT_TRUE((*sink)->Write(pcm).ok());
    }
    EXPECT_EQ(WavData(FileBytes(PathOf("b.wav"))), pcm);
  });
}

// Catches a wide name converted through the ANSI code page instead of
// UTF-8.
TEST_F(WavFileSinkTest, WideNamesAreUtf8OnDisk) {
  FinishWithin(kDeadline, [&] {
    auto sink = WavFileSink::Open(WideOf(folder_.path()) + u"/Tr\u00e4ck \u266b 1.wav");
    ASSERT_TRUE(sink.ok());
    ASSERT_TRUE((*sink)->Finish().ok());
    EXPECT_TRUE(std::filesystem::exists(folder_.path() / "Tr\xc3\xa4"
                                                         "ck \xe2\x99\xab 1.wav"));
  });
}

// Catches a missing "Cannot create wav-file", and a second writer that
// truncates a file another sink is still writing.
TEST_F(WavFileSinkTest, AFileThatCannotBeCreatedIsReported) {
  FinishWithin(kDeadline, [&] {
    auto missing_folder = WavFileSink::Open(WideOf(PathOf("no-such-folder/a.wav")));
    ASSERT_FALSE(missing_folder.ok());
    EXPECT_EQ(missing_folder.error().message, MessageText(Message::kCannotCreateWav));

    const std::vector<BYTE> pcm = SyntheticPcm(0, 1000);
    auto first = WavFileSink::Open(WideOf(PathOf("held.wav")));
    ASSERT_TRUE(first.ok());
    ASSERT_TRUE((*first)->Write(pcm).ok());
    auto second = WavFileSink::Open(WideOf(PathOf("held.wav")));
    ASSERT_FALSE(second.ok());
    EXPECT_EQ(second.error().message, MessageText(Message::kCannotCreateWav));
    ASSERT_TRUE((*first)->Finish().ok());
    EXPECT_EQ(WavData(FileBytes(PathOf("held.wav"))), pcm);
  });
}

// Catches a full disk that is not reported, reported as something other
// than "Write error", or that leaves a file whose lengths disagree with it
// or that ends inside a stereo frame.
TEST_F(WavFileSinkTest, AFullDiskIsAWriteErrorAndTheFileStaysWellFormed) {
  const struct {
    const char* name;
    std::uint64_t capacity;
    std::size_t chunks;  // of kChunkBytes
  } kCases[] = {
      // More than the pipe holds: a later write fails once the writer stopped.
      {"full while writing", 46 + 100'002, 40},
      // Everything fits in the pipe: only finishing can tell.
      {"full after the last write", 46 + 1'000, 1},
      {"full at the first block", 46, 3},
  };
  for (const auto& test : kCases) {
    SCOPED_TRACE(test.name);
    FinishWithin(kDeadline, [&] {
      FullDiskFileLayer files(test.capacity);
      const std::vector<BYTE> pcm = SyntheticPcm(0, test.chunks * kChunkBytes / 4);
      auto sink = WavFileSink::Open(WideOf(PathOf("full.wav")), {.files = &files});
      ASSERT_TRUE(sink.ok()) << sink.error().message;
      std::string write_error;
      for (std::size_t at = 0; at < pcm.size() && write_error.empty(); at += kChunkBytes) {
        auto written = (*sink)->Write(std::span(pcm).subspan(at, kChunkBytes));
        if (!written)
          write_error = written.error().message;
      }
      if (!write_error.empty()) {
        EXPECT_EQ(write_error, MessageText(Message::kWriteError));
      }
      auto finished = (*sink)->Finish();
      ASSERT_FALSE(finished.ok());
      EXPECT_EQ(finished.error().message, MessageText(Message::kWriteError));

      std::vector<BYTE> data = WavData(FileBytes(PathOf("full.wav")));
      EXPECT_LE(data.size() + 46, test.capacity);
      EXPECT_TRUE(std::equal(data.begin(), data.end(), pcm.begin())) << "a prefix of the stream";
    });
  }
}

// Catches a header that cannot be written reported as anything but
// "Write error".
TEST_F(WavFileSinkTest, AHeaderThatDoesNotFitIsAWriteError) {
  FinishWithin(kDeadline, [&] {
    FullDiskFileLayer files(30);
    auto sink = WavFileSink::Open(WideOf(PathOf("h.wav")), {.files = &files});
    ASSERT_FALSE(sink.ok());
    EXPECT_EQ(sink.error().message, MessageText(Message::kWriteError));
  });
}

Result<InProcessPipe> NoPipe(std::size_t) {
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return Error{E_FAIL, "no pipe"};
}

Result<Thread> NoThread(std::function<void()>) {
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return Error{E_FAIL, "no thread"};
}

// Catches a sink that opens without its pipe or writer thread (the worker
// would block once the pipe is full, and finishing would wait forever):
// the set-up fails with the pipe text and the file is left well-formed.
TEST_F(WavFileSinkTest, NoPipeOrWriterFailsTheSetUp) {
  const struct {
    const char* name;
    WavSinkSeams seams;
    const char* system_text;
  } kCases[] = {
      {"pipe", {.create_pipe = &NoPipe}, "There is not enough memory to carry out this command"},
      {"thread",
       {.start_thread = &NoThread},
       "There is not enough memory to carry out this command"},
  };
  for (const auto& test : kCases) {
    SCOPED_TRACE(test.name);
    FinishWithin(kDeadline, [&] {
      auto sink = WavFileSink::Open(WideOf(PathOf("p.wav")), test.seams);
      ASSERT_FALSE(sink.ok());
      EXPECT_EQ(sink.error().message, std::string("Internal error 1411: ") + test.system_text);
      EXPECT_TRUE(WavData(FileBytes(PathOf("p.wav"))).empty());
    });
  }
}

}  // namespace
}  // namespace vyn
