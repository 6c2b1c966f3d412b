// Reads a server's reply as 8-bit text lines. A line ends at LF; every CR
// and LF is removed from it. It peeks at what has arrived and takes exactly
// the bytes up to the LF, so nothing after the line is consumed. When a
// peek finds the connection closed it pauses 100 ms and looks again, up to
// 201 times, before the read times out; a silent open connection is bounded
// by the stream's own receive time-out. A NUL byte ends the text of the
// chunk it arrives in. A line or a whole reply beyond its limit fails the
// read, so a hostile server cannot exhaust memory.
//
// Home thread: the exchange's. Reads from a stream it does not own.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "platform/com/result.h"
#include "platform/net/receive_stream.h"

namespace vyn {

struct LineLimits {
  // CDDB entry lines are at most 256 bytes; this leaves room for any
  // server that is merely generous.
  std::size_t max_line_bytes = 64 * 1024;
  // Every byte of one reply, head included.
  std::size_t max_reply_bytes = 4 * 1024 * 1024;
};

class LineReader {
 public:
  explicit LineReader(ReceiveStream& stream, LineLimits limits = {})
      : stream_(stream), limits_(limits) {}

  // The next line, or "Socket error: failed to receive data." (a failed
  // receive, a limit passed) or "Socket error: timed out.".
  Result<std::string> ReadLine();

 private:
  static constexpr std::size_t kChunkBytes = 1024;
  static constexpr int kMaxIdlePauses = 200;
  static constexpr unsigned kIdlePauseMs = 100;

  ReceiveStream& stream_;
  LineLimits limits_;
  std::size_t reply_bytes_ = 0;
  std::array<char, kChunkBytes + 1> chunk_{};
};

}  // namespace vyn
