#include "platform/win/in_process_pipe.h"

#include <gtest/gtest.h>

#include <numeric>
#include <random>
#include <thread>
#include <vector>

#include "platform/win/last_error.h"
#include "tests/drive/test_support.h"

namespace vyn {
namespace {

using testing::FinishWithin;

constexpr auto kDeadline = std::chrono::seconds(30);

std::vector<BYTE> CountingBytes(std::size_t count) {
  std::vector<BYTE> bytes(count);
  for (std::size_t i = 0; i < count; ++i)
    bytes[i] = static_cast<BYTE>(i * 7 + i / 251);
  return bytes;
}

// Drains the pipe the way a consumer may: in place, in parts, or by copy.
std::vector<BYTE> DrainMixed(InProcessPipeReader& reader, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<BYTE> out;
  while (true) {
    if (random() % 4 == 0) {
      BYTE few[5];
      const std::size_t got = reader.ReadExactly(few);
      out.insert(out.end(), few, few + got);
      if (got < sizeof few)
        return out;
      continue;
    }
    const std::span<const BYTE> ready = reader.Peek();
    if (ready.empty())
      return out;
    const std::size_t take = 1 + random() % ready.size();
    out.insert(out.end(), ready.begin(), ready.begin() + take);
    reader.Consume(take);
  }
}

// Catches bytes lost, repeated or reordered where the ring wraps, when a
// write is split, or when the two threads wake each other, for buffers
// whose size does and does not divide the writes.
TEST(InProcessPipeTest, CarriesAStreamBetweenTwoThreadsUnchanged) {
  for (const std::size_t capacity : {4, 1000, 4096, 65536}) {
    SCOPED_TRACE(capacity);
    FinishWithin(kDeadline, [&] {
      auto pipe = CreateInProcessPipe(capacity);
      ASSERT_TRUE(pipe.ok());
      const std::vector<BYTE> stream = CountingBytes(300'000);
      std::thread writer([&] {
        std::mt19937 random(static_cast<unsigned>(capacity));
        std::span<const BYTE> left(stream);
        while (!left.empty()) {
          const std::size_t now = std::min<std::size_t>(left.size(), 1 + random() % 9000);
          EXPECT_TRUE(pipe->write.WriteAll(left.first(now)).ok());
          left = left.subspan(now);
        }
        pipe->write.Close();
      });
      const std::vector<BYTE> received = DrainMixed(pipe->read, 7);
      writer.join();
      ASSERT_EQ(received.size(), stream.size());
      const auto mismatch = std::mismatch(received.begin(), received.end(), stream.begin());
      EXPECT_EQ(mismatch.first, received.end())
          << "first wrong byte at " << (mismatch.first - received.begin());
    });
  }
}

// Catches a writer left blocked on a full buffer when the reader goes
// away, a reader left blocked when the writer goes away, and either
// reported as anything but the system pipe's codes.
TEST(InProcessPipeTest, ClosingOneEndReleasesTheOther) {
  FinishWithin(kDeadline, [&] {
    auto pipe = CreateInProcessPipe(1000);
    ASSERT_TRUE(pipe.ok());
    std::thread closer([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      pipe->read.Close();
    });
    const std::vector<BYTE> more_than_fits(5000, 1);
    auto written = pipe->write.WriteAll(more_than_fits);
    closer.join();
    ASSERT_FALSE(written.ok());
    EXPECT_EQ(GetLastError(), ERROR_BROKEN_PIPE);
    EXPECT_FALSE(pipe->write.WriteAll(more_than_fits).ok());

    auto second = CreateInProcessPipe(1000);
    ASSERT_TRUE(second.ok());
    ASSERT_TRUE(second->write.WriteAll(std::span(more_than_fits).first(10)).ok());
    std::thread ender([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      second->write.Close();
    });
    // Ten bytes are less than the reader waits for; the end brings them.
    EXPECT_EQ(second->read.Peek().size(), 10u);
    second->read.Consume(10);
    EXPECT_TRUE(second->read.Peek().empty());
    BYTE rest[4];
    EXPECT_EQ(second->read.ReadExactly(rest), 0u);
    ender.join();

    InProcessPipeWriter closed;
    EXPECT_FALSE(closed.WriteAll(more_than_fits).ok());
    EXPECT_EQ(GetLastError(), ERROR_BROKEN_PIPE);
  });
}

}  // namespace
}  // namespace vyn
