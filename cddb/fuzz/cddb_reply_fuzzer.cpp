// Feeds arbitrary bytes, cut into arbitrary chunks, to the reply side of a
// CDDB request (line reader, HTTP head, query or entry body): it must end
// with a result or one of the control's texts, never crash, hang, read out
// of bounds or grow past its limits.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cddb/cddb_reply.h"
#include "cddb/http_head.h"
#include "cddb/line_reader.h"
#include "control/messages.h"
#include "platform/win/clock.h"

// The idle pauses of a closed stream cost nothing here.
void Sleep(DWORD) {}

namespace {

// Plays the input back in chunks whose sizes come from the input itself.
class ChunkedStream final : public vyn::ReceiveStream {
 public:
  ChunkedStream(const std::uint8_t* data, std::size_t size, std::size_t chunk)
      : data_(data), size_(size), chunk_(chunk) {}

  vyn::Received Receive(std::span<char> buffer, vyn::ReceiveMode mode) override {
    if (at_ == size_)
      return {vyn::ReceiveStatus::kClosed, 0};
    std::size_t count = std::min({buffer.size(), size_ - at_, chunk_});
    std::memcpy(buffer.data(), data_ + at_, count);
    if (mode == vyn::ReceiveMode::kTake)
      at_ += count;
    return {vyn::ReceiveStatus::kData, count};
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t chunk_;
  std::size_t at_ = 0;
};

bool IsReplyText(const std::string& message) {
  using vyn::Message;
  for (Message m :
       {Message::kSocketReceiveFailed, Message::kSocketTimedOut, Message::kCddbNotHttp,
        Message::kCddbHttpStatus, Message::kCddbNoRecords, Message::kCddbUnknownFailure}) {
    if (message == vyn::MessageText(m))
      return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2)
    return 0;
  const bool read_mode = data[0] & 1;
  const std::size_t chunk = 1 + data[1] * 8u;
  ChunkedStream stream(data + 2, size - 2, chunk);
  const vyn::LineLimits limits{256, 4096};
  vyn::LineReader reader(stream, limits);
  if (auto head = vyn::ReadHttpHead(reader); !head) {
    if (!IsReplyText(head.error().message))
      std::abort();
    return 0;
  }
  if (read_mode) {
    auto entry = vyn::ReadEntryReply(reader);
    if (entry ? entry->size() > limits.max_reply_bytes : !IsReplyText(entry.error().message))
      std::abort();
  } else {
    std::vector<vyn::CddbMatch> matches;
    auto result = vyn::ReadQueryReply(reader, matches);
    if (result ? matches.empty() : !IsReplyText(result.error().message))
      std::abort();
    if (matches.size() > limits.max_reply_bytes)
      std::abort();
  }
  return 0;
}
