#include "platform/win/pipe.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "platform/win/last_error.h"

namespace vyn {
namespace {

Error ErrorFromErrno(int errno_value, const char* what) {
  SetLastErrorFromErrno(errno_value);
  return {HRESULT_FROM_WIN32(Win32ErrorFromErrno(errno_value)), what};
}

// Keeps SIGPIPE from reaching the process while this thread writes to a
// pipe: the signal is blocked for the thread, and one raised by the write
// is taken back before the mask is restored. A library must not change
// the process's signal dispositions.
class SigpipeSuppressor {
 public:
  SigpipeSuppressor() {
    sigemptyset(&sigpipe_);
    sigaddset(&sigpipe_, SIGPIPE);
    sigset_t pending;
    sigpending(&pending);
    was_pending_ = sigismember(&pending, SIGPIPE) == 1;
    pthread_sigmask(SIG_BLOCK, &sigpipe_, &old_mask_);
  }
  ~SigpipeSuppressor() {
    if (raised_ && !was_pending_) {
      const timespec no_wait{0, 0};
      while (sigtimedwait(&sigpipe_, nullptr, &no_wait) < 0 && errno == EINTR) {
      }
    }
    pthread_sigmask(SIG_SETMASK, &old_mask_, nullptr);
  }
  SigpipeSuppressor(const SigpipeSuppressor&) = delete;
  SigpipeSuppressor& operator=(const SigpipeSuppressor&) = delete;

  void NoteBrokenPipe() { raised_ = true; }

 private:
  sigset_t sigpipe_;
  sigset_t old_mask_;
  bool was_pending_ = false;
  bool raised_ = false;
};

}  // namespace

PipeReadEnd& PipeReadEnd::operator=(PipeReadEnd&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

Result<std::size_t> PipeReadEnd::Read(std::span<BYTE> buffer) {
  while (true) {
    ssize_t got = ::read(fd_, buffer.data(), buffer.size());
    if (got >= 0)
      return static_cast<std::size_t>(got);
    if (errno != EINTR)
      return ErrorFromErrno(errno, "pipe read failed");
  }
}

void PipeReadEnd::Close() {
  if (fd_ >= 0)
    ::close(std::exchange(fd_, -1));
}

PipeWriteEnd& PipeWriteEnd::operator=(PipeWriteEnd&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

Result<void> PipeWriteEnd::WriteAll(std::span<const BYTE> bytes) {
  SigpipeSuppressor suppressor;
  while (!bytes.empty()) {
    ssize_t written = ::write(fd_, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR)
        continue;
      if (errno == EPIPE)
        suppressor.NoteBrokenPipe();
      return ErrorFromErrno(errno, "pipe write failed");
    }
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return Ok();
}

void PipeWriteEnd::Close() {
  if (fd_ >= 0)
    ::close(std::exchange(fd_, -1));
}

Result<Pipe> CreatePipe(std::size_t suggested_bytes) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0)
    return ErrorFromErrno(errno, "cannot create pipe");
  Pipe pipe{PipeReadEnd(fds[0]), PipeWriteEnd(fds[1])};
  // Best effort: an unprivileged process may be held to a smaller limit.
  if (suggested_bytes > 0)
    ::fcntl(fds[1], F_SETPIPE_SZ, static_cast<int>(suggested_bytes));
  return pipe;
}

}  // namespace vyn
