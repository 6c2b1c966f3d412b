// An anonymous pipe whose two ends stay in this process: one thread writes
// a stream of bytes, another drains it, with a fixed ring buffer between
// them. It behaves as the system pipe does for its users (writes block
// while the buffer is full, the reader sees the end once the write end is
// closed and the buffer is empty, a write after the read end is closed
// fails with ERROR_BROKEN_PIPE), and costs much less: the reader takes the
// bytes in place (no copy out), the buffer's lock is never held while bytes
// are copied, and each side wakes the other only once a quarter of the
// buffer is ready for it, not for every few pages.
//
// Threads: one writer thread uses the write end, one reader thread the
// read end, at the same time; each end may be moved to hand it over. The
// shared state is guarded by its mutex; the bytes in the ring belong to
// the reader from the moment they are counted in, and the free space to
// the writer.
#pragma once

#include <cstddef>
#include <memory>
#include <span>

#include "platform/com/result.h"
#include "platform/win/types.h"

namespace vyn {

struct InProcessPipeState;

class InProcessPipeReader {
 public:
  InProcessPipeReader() = default;
  explicit InProcessPipeReader(std::shared_ptr<InProcessPipeState> state);
  InProcessPipeReader(InProcessPipeReader&&) noexcept = default;
  InProcessPipeReader& operator=(InProcessPipeReader&& other) noexcept;
  ~InProcessPipeReader() { Close(); }

  bool is_open() const { return state_ != nullptr; }
  // The unread bytes that lie together in the buffer, oldest first; they
  // stay valid and unchanged until Consume or Close. Blocks until a
  // quarter of the buffer is filled or the write end is closed; empty
  // once the write end is closed and everything has been consumed.
  std::span<const BYTE> Peek();
  // Frees the first `count` bytes of the last Peek.
  void Consume(std::size_t count);
  // Copies up to `out.size()` bytes, blocking until that many are there or
  // the write end is closed; how many it copied. For a few bytes that the
  // end of the ring splits.
  std::size_t ReadExactly(std::span<BYTE> out);
  // Writes after this fail with ERROR_BROKEN_PIPE; a blocked write wakes.
  void Close();

 private:
  std::shared_ptr<InProcessPipeState> state_;
};

class InProcessPipeWriter {
 public:
  InProcessPipeWriter() = default;
  explicit InProcessPipeWriter(std::shared_ptr<InProcessPipeState> state);
  InProcessPipeWriter(InProcessPipeWriter&&) noexcept = default;
  InProcessPipeWriter& operator=(InProcessPipeWriter&& other) noexcept;
  ~InProcessPipeWriter() { Close(); }

  bool is_open() const { return state_ != nullptr; }
  // Writes every byte, blocking while the buffer is full. Fails with
  // ERROR_BROKEN_PIPE (also as the last error) once the read end is closed
  // or when this end is closed.
  Result<void> WriteAll(std::span<const BYTE> bytes);
  // The reader sees the end after the bytes written so far.
  void Close();

 private:
  std::shared_ptr<InProcessPipeState> state_;
};

struct InProcessPipe {
  InProcessPipeReader read;
  InProcessPipeWriter write;
};

// A pipe holding up to `capacity` bytes (at least 4). Fails with
// ERROR_NOT_ENOUGH_MEMORY (also as the last error) when the buffer cannot
// be had.
Result<InProcessPipe> CreateInProcessPipe(std::size_t capacity);

}  // namespace vyn
