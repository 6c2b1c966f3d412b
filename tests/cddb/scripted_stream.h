// A receive stream that plays back chunks as if they arrived one by one,
// then reports the end it was given. Counts empty peeks, so a test can see
// the idle rule at work. Home thread: the test's.
#pragma once

#include <algorithm>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "platform/net/receive_stream.h"

namespace vyn::testing {

class ScriptedStream final : public ReceiveStream {
 public:
  explicit ScriptedStream(std::vector<std::string> chunks,
                          ReceiveStatus end = ReceiveStatus::kClosed)
      : chunks_(chunks.begin(), chunks.end()), end_(end) {
    std::erase_if(chunks_, [](const std::string& chunk) { return chunk.empty(); });
  }

  Received Receive(std::span<char> buffer, ReceiveMode mode) override {
    if (chunks_.empty()) {
      ++empty_receives_;
      return {end_, 0};
    }
    std::string& chunk = chunks_.front();
    const std::size_t count = std::min(buffer.size(), chunk.size());
    std::memcpy(buffer.data(), chunk.data(), count);
    if (mode == ReceiveMode::kTake) {
      chunk.erase(0, count);
      if (chunk.empty())
        chunks_.pop_front();
    }
    return {ReceiveStatus::kData, count};
  }

  int empty_receives() const { return empty_receives_; }
  bool drained() const { return chunks_.empty(); }

 private:
  std::deque<std::string> chunks_;
  ReceiveStatus end_;
  int empty_receives_ = 0;
};

}  // namespace vyn::testing
