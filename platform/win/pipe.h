// Anonymous pipes: a read end and a write end as owned descriptors, for
// moving a stream of bytes from one thread to another with the kernel's
// buffer in between. Interrupted calls are retried; a write to a pipe whose
// read end is gone fails with ERROR_BROKEN_PIPE instead of raising a signal.
// Failures set the calling thread's last error.
//
// Each end belongs to one thread at a time (move it to hand it over);
// the two ends may be used on different threads at once.
#pragma once

#include <cstddef>
#include <span>
#include <utility>

#include "platform/com/result.h"
#include "platform/win/types.h"

namespace vyn {

// The pipe buffer the platform asks for by default (1 MiB).
inline constexpr std::size_t kLargePipeBytes = 1 << 20;

class PipeReadEnd {
 public:
  PipeReadEnd() = default;
  explicit PipeReadEnd(int fd) : fd_(fd) {}
  PipeReadEnd(PipeReadEnd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  PipeReadEnd& operator=(PipeReadEnd&& other) noexcept;
  ~PipeReadEnd() { Close(); }

  bool is_open() const { return fd_ >= 0; }
  // Up to `buffer.size()` bytes; 0 once every write end is closed and the
  // pipe is empty. Blocks while the pipe is empty.
  Result<std::size_t> Read(std::span<BYTE> buffer);
  void Close();

 private:
  int fd_ = -1;
};

class PipeWriteEnd {
 public:
  PipeWriteEnd() = default;
  explicit PipeWriteEnd(int fd) : fd_(fd) {}
  PipeWriteEnd(PipeWriteEnd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  PipeWriteEnd& operator=(PipeWriteEnd&& other) noexcept;
  ~PipeWriteEnd() { Close(); }

  bool is_open() const { return fd_ >= 0; }
  // Writes every byte, blocking while the pipe is full. Fails with
  // ERROR_BROKEN_PIPE once the read end is closed.
  Result<void> WriteAll(std::span<const BYTE> bytes);
  void Close();

 private:
  int fd_ = -1;
};

struct Pipe {
  PipeReadEnd read;
  PipeWriteEnd write;
};

// A pipe whose descriptors are not inherited by child processes, with a
// buffer of `suggested_bytes` where the system allows it (the system's
// default size otherwise).
Result<Pipe> CreatePipe(std::size_t suggested_bytes = kLargePipeBytes);

}  // namespace vyn
