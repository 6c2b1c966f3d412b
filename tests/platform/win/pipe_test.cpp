#include "platform/win/pipe.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/win/last_error.h"

namespace vyn {
namespace {

// Catches a write to a closed pipe that raises SIGPIPE (ending the
// process) or is reported with another code, and a reader that does not
// see the end once the writer is gone.
TEST(PipeTest, EndsAreSeenFromTheOtherSide) {
  auto pipe = CreatePipe();
  ASSERT_TRUE(pipe.ok());
  const std::vector<BYTE> bytes(1000, 7);
  ASSERT_TRUE(pipe->write.WriteAll(bytes).ok());
  pipe->write.Close();
  std::vector<BYTE> buffer(4096);
  auto got = pipe->read.Read(buffer);
  ASSERT_TRUE(got.ok());
  EXPECT_EQ(got.value(), 1000u);
  got = pipe->read.Read(buffer);
  ASSERT_TRUE(got.ok());
  EXPECT_EQ(got.value(), 0u);

  auto second = CreatePipe();
  ASSERT_TRUE(second.ok());
  second->read.Close();
  auto written = second->write.WriteAll(bytes);
  ASSERT_FALSE(written.ok());
  EXPECT_EQ(GetLastError(), ERROR_BROKEN_PIPE);
}

}  // namespace
}  // namespace vyn
