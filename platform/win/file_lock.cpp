#include "platform/win/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/win/last_error.h"

namespace vyn {

Error FileSystemError(std::string_view what, const std::string& path, int errno_value) {
  HRESULT code = E_FAIL;
  if (errno_value == EACCES || errno_value == EPERM || errno_value == EROFS)
    code = E_ACCESSDENIED;
  else if (errno_value == ENOENT || errno_value == ENOTDIR)
    code = HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
  else if (errno_value == ENOSPC || errno_value == EDQUOT)
    code = HRESULT_FROM_WIN32(ERROR_DISK_FULL);
  return Error{code, std::string(what) + " " + path + ": " + std::strerror(errno_value)};
}

Result<FileLock> FileLock::Acquire(const std::string& path, Mode mode) {
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0 && mode == Mode::Shared && (errno == EACCES || errno == EROFS))
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);  // a reader needs no write access
  if (fd < 0)
    return FileSystemError("cannot open lock file", path, errno);
  int operation = mode == Mode::Shared ? LOCK_SH : LOCK_EX;
  while (::flock(fd, operation) != 0) {
    if (errno == EINTR)
      continue;
    int saved = errno;
    ::close(fd);
    return FileSystemError("cannot lock", path, saved);
  }
  return FileLock(fd);
}

FileLock::FileLock(FileLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0)
      ::close(fd_);
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

FileLock::~FileLock() {
  if (fd_ >= 0)
    ::close(fd_);  // closing the last descriptor releases the lock
}

}  // namespace vyn
