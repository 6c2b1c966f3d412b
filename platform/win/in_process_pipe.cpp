#include "platform/win/in_process_pipe.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <new>
#include <utility>

#include "platform/win/last_error.h"

namespace vyn {

struct InProcessPipeState {
  InProcessPipeState(std::unique_ptr<BYTE[]> buffer, std::size_t bytes)
      : ring(std::move(buffer)), capacity(bytes), wake_bytes(std::max<std::size_t>(1, bytes / 4)) {}

  std::mutex mutex;
  std::condition_variable readable;  // the reader waits here
  std::condition_variable writable;  // the writer waits here
  const std::unique_ptr<BYTE[]> ring;
  const std::size_t capacity;
  const std::size_t wake_bytes;
  std::size_t head = 0;          // guarded by mutex
  std::size_t size = 0;          // guarded by mutex
  std::size_t reader_wants = 0;  // guarded by mutex; 0 while the reader runs
  std::size_t writer_wants = 0;  // guarded by mutex; 0 while the writer runs
  bool write_closed = false;     // guarded by mutex
  bool read_closed = false;      // guarded by mutex

  std::size_t free_bytes() const { return capacity - size; }

  // Copies the oldest `out.size()` bytes (no more than `size`) out of the
  // ring and frees them. Called with the mutex held.
  void TakeLocked(std::span<BYTE> out) {
    const std::size_t first = std::min(out.size(), capacity - head);
    std::memcpy(out.data(), ring.get() + head, first);
    std::memcpy(out.data() + first, ring.get(), out.size() - first);
    FreeLocked(out.size());
  }

  void FreeLocked(std::size_t count) {
    count = std::min(count, size);
    head = (head + count) % capacity;
    size -= count;
    if (writer_wants != 0 && free_bytes() >= writer_wants)
      writable.notify_one();
  }
};

namespace {

Error BrokenPipe() {
  SetLastError(ERROR_BROKEN_PIPE);
  return Error{HRESULT_FROM_WIN32(ERROR_BROKEN_PIPE), "pipe read end is closed"};
}

}  // namespace

InProcessPipeReader::InProcessPipeReader(std::shared_ptr<InProcessPipeState> state)
    : state_(std::move(state)) {}

InProcessPipeReader& InProcessPipeReader::operator=(InProcessPipeReader&& other) noexcept {
  if (this != &other) {
    Close();
    state_ = std::move(other.state_);
  }
  return *this;
}

std::span<const BYTE> InProcessPipeReader::Peek() {
  if (!state_)
    return {};
  InProcessPipeState& s = *state_;
  std::unique_lock lock(s.mutex);
  s.reader_wants = s.wake_bytes;
  s.readable.wait(lock, [&] { return s.size >= s.wake_bytes || s.write_closed; });
  s.reader_wants = 0;
  return {s.ring.get() + s.head, std::min(s.size, s.capacity - s.head)};
}

void InProcessPipeReader::Consume(std::size_t count) {
  if (!state_)
    return;
  std::lock_guard lock(state_->mutex);
  state_->FreeLocked(count);
}

std::size_t InProcessPipeReader::ReadExactly(std::span<BYTE> out) {
  if (!state_)
    return 0;
  InProcessPipeState& s = *state_;
  std::unique_lock lock(s.mutex);
  std::size_t copied = 0;
  while (copied < out.size()) {
    const std::size_t wanted = std::min(out.size() - copied, s.wake_bytes);
    s.reader_wants = wanted;
    s.readable.wait(lock, [&] { return s.size >= wanted || s.write_closed; });
    s.reader_wants = 0;
    const std::size_t now = std::min(s.size, out.size() - copied);
    if (now == 0)
      break;  // the write end is closed and nothing is left
    s.TakeLocked(out.subspan(copied, now));
    copied += now;
  }
  return copied;
}

void InProcessPipeReader::Close() {
  if (!state_)
    return;
  {
    std::lock_guard lock(state_->mutex);
    state_->read_closed = true;
  }
  state_->writable.notify_all();
  state_.reset();
}

InProcessPipeWriter::InProcessPipeWriter(std::shared_ptr<InProcessPipeState> state)
    : state_(std::move(state)) {}

InProcessPipeWriter& InProcessPipeWriter::operator=(InProcessPipeWriter&& other) noexcept {
  if (this != &other) {
    Close();
    state_ = std::move(other.state_);
  }
  return *this;
}

// The copy runs without the lock: the free space it fills belongs to this
// writer until it is counted in.
Result<void> InProcessPipeWriter::WriteAll(std::span<const BYTE> bytes) {
  if (!state_)
    return BrokenPipe();
  InProcessPipeState& s = *state_;
  std::unique_lock lock(s.mutex);
  while (!bytes.empty()) {
    if (s.read_closed)
      return BrokenPipe();
    // Waiting for a quarter of the buffer (or all that is left to write)
    // keeps the two threads from waking each other for every few bytes.
    const std::size_t wanted = std::min(s.wake_bytes, bytes.size());
    if (s.free_bytes() < wanted) {
      s.writer_wants = wanted;
      s.writable.wait(lock, [&] { return s.read_closed || s.free_bytes() >= wanted; });
      s.writer_wants = 0;
      continue;
    }
    const std::size_t tail = (s.head + s.size) % s.capacity;
    const std::size_t now = std::min({s.free_bytes(), s.capacity - tail, bytes.size()});
    lock.unlock();
    std::memcpy(s.ring.get() + tail, bytes.data(), now);
    lock.lock();
    s.size += now;
    bytes = bytes.subspan(now);
    if (s.reader_wants != 0 && s.size >= s.reader_wants)
      s.readable.notify_one();
  }
  return Ok();
}

void InProcessPipeWriter::Close() {
  if (!state_)
    return;
  {
    std::lock_guard lock(state_->mutex);
    state_->write_closed = true;
  }
  state_->readable.notify_all();
  state_.reset();
}

Result<InProcessPipe> CreateInProcessPipe(std::size_t capacity) {
  capacity = std::max<std::size_t>(capacity, 4);
  std::unique_ptr<BYTE[]> ring(new (std::nothrow) BYTE[capacity]);
  if (!ring) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return Error{E_OUTOFMEMORY, "no memory for the pipe's buffer"};
  }
  auto state = std::make_shared<InProcessPipeState>(std::move(ring), capacity);
  return InProcessPipe{InProcessPipeReader(state), InProcessPipeWriter(state)};
}

}  // namespace vyn
