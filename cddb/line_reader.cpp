#include "cddb/line_reader.h"

#include <algorithm>
#include <cstring>

#include "cddb/cddb_error.h"
#include "platform/win/clock.h"

namespace vyn {

Result<std::string> LineReader::ReadLine() {
  std::string line;
  std::size_t line_bytes = 0;
  int idle_pauses = 0;
  for (;;) {
    const Received peeked = stream_.Receive({chunk_.data(), kChunkBytes}, ReceiveMode::kPeek);
    if (peeked.status == ReceiveStatus::kFailed)
      return CddbError(Message::kSocketReceiveFailed);
    if (peeked.status == ReceiveStatus::kTimedOut)
      return CddbError(Message::kSocketTimedOut);
    if (peeked.status == ReceiveStatus::kClosed || peeked.bytes == 0) {
      if (idle_pauses > kMaxIdlePauses)
        return CddbError(Message::kSocketTimedOut);
      ++idle_pauses;
      Sleep(kIdlePauseMs);
      continue;
    }
    const char* end = chunk_.data() + peeked.bytes;
    const char* lf = std::find(static_cast<const char*>(chunk_.data()), end, '\n');
    const std::size_t wanted =
        lf == end ? peeked.bytes : static_cast<std::size_t>(lf - chunk_.data()) + 1;
    const Received taken = stream_.Receive({chunk_.data(), wanted}, ReceiveMode::kTake);
    if (taken.status == ReceiveStatus::kTimedOut)
      return CddbError(Message::kSocketTimedOut);
    if (taken.status != ReceiveStatus::kData)
      return CddbError(Message::kSocketReceiveFailed);

    line_bytes += taken.bytes;
    reply_bytes_ += taken.bytes;
    if (line_bytes > limits_.max_line_bytes || reply_bytes_ > limits_.max_reply_bytes)
      return CddbError(Message::kSocketReceiveFailed);
    chunk_[taken.bytes] = '\0';
    line.append(chunk_.data(), std::strlen(chunk_.data()));

    if (lf != end && taken.bytes == wanted) {
      std::erase_if(line, [](char c) { return c == '\r' || c == '\n'; });
      return line;
    }
    idle_pauses = 0;
  }
}

}  // namespace vyn
