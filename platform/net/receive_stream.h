// Where received bytes come from: a socket, or a test's script. Code that
// reads a protocol depends on this alone, so it can run without a network.
#pragma once

#include <cstddef>
#include <span>

namespace vyn {

enum class ReceiveMode {
  kTake,  // the bytes leave the stream
  kPeek,  // the bytes stay for the next receive
};

enum class ReceiveStatus {
  kData,      // `bytes` > 0 were received
  kClosed,    // the peer has closed its side; nothing more will come
  kTimedOut,  // nothing arrived within the stream's receive time-out
  kFailed,    // the receive failed
};

struct Received {
  ReceiveStatus status = ReceiveStatus::kFailed;
  std::size_t bytes = 0;
};

class ReceiveStream {
 public:
  virtual ~ReceiveStream() = default;
  // Blocks until at least one byte is there (then gives up to
  // buffer.size()), the peer closes, or the time-out passes.
  virtual Received Receive(std::span<char> buffer, ReceiveMode mode) = 0;
};

}  // namespace vyn
