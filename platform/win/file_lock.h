// An advisory whole-file lock (flock) on a lock file that sits beside the
// data it guards, held for one read or one read-modify-write. Locks of
// separate FileLock objects exclude each other across processes and across
// threads of one process alike. Move-only RAII; usable from any thread.
#pragma once

#include <string>

#include "platform/com/result.h"

namespace vyn {

class FileLock {
 public:
  enum class Mode { Shared, Exclusive };

  // Opens (creating it when missing) and locks `path`, waiting while another
  // holder excludes the mode. Fails with the errno of open or flock in the
  // message and E_ACCESSDENIED, HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)
  // for a missing directory, or E_FAIL.
  static Result<FileLock> Acquire(const std::string& path, Mode mode);

  FileLock(FileLock&& other) noexcept;
  FileLock& operator=(FileLock&& other) noexcept;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  ~FileLock();

 private:
  explicit FileLock(int fd) : fd_(fd) {}
  int fd_ = -1;
};

// The error for a failed system call on `path`: E_ACCESSDENIED for a
// permission or read-only file system, HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)
// for a missing file or directory, else E_FAIL; the message names the path.
Error FileSystemError(std::string_view what, const std::string& path, int errno_value);

}  // namespace vyn
