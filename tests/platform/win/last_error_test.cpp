#include "platform/win/last_error.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <thread>

namespace {

// A process-wide code would let the worker thread overwrite the host
// thread's error between a failing call and its GetLastError.
TEST(LastErrorTest, EachThreadHasItsOwnCode) {
  SetLastError(ERROR_MEDIA_CHANGED);
  DWORD seenByOther = 12345;
  std::thread other([&seenByOther] {
    seenByOther = GetLastError();
    SetLastError(ERROR_INVALID_HANDLE);
  });
  other.join();
  EXPECT_EQ(seenByOther, ERROR_SUCCESS);
  EXPECT_EQ(GetLastError(), ERROR_MEDIA_CHANGED);
}

// Catches a layer failure reported under a code callers do not test for
// (the transport retries only on 6 and 1110; the texts key on the number).
TEST(LastErrorTest, ErrnoValuesMapToSystemCodes) {
  static const struct {
    int errnoValue;
    DWORD code;
  } kCases[] = {
      {0, ERROR_SUCCESS},
      {ENOENT, ERROR_FILE_NOT_FOUND},
      {ENOTDIR, ERROR_PATH_NOT_FOUND},
      {EACCES, ERROR_ACCESS_DENIED},
      {EPERM, ERROR_ACCESS_DENIED},
      {EBADF, ERROR_INVALID_HANDLE},
      {ENOMEM, ERROR_NOT_ENOUGH_MEMORY},
      {ENOSPC, ERROR_DISK_FULL},
      {EEXIST, ERROR_FILE_EXISTS},
      {EINVAL, ERROR_INVALID_PARAMETER},
      {EPIPE, ERROR_BROKEN_PIPE},
      {ETIMEDOUT, ERROR_TIMEOUT},
      {ENOMEDIUM, ERROR_NOT_READY},
      {EIO, ERROR_IO_DEVICE},
      {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE},
      {ENOTEMPTY, ERROR_DIR_NOT_EMPTY},
      {EOPNOTSUPP, ERROR_NOT_SUPPORTED},
      {EDOM, ERROR_GEN_FAILURE},  // no closer match
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.errnoValue);
    EXPECT_EQ(vyn::Win32ErrorFromErrno(c.errnoValue), c.code);
  }
  vyn::SetLastErrorFromErrno(ENOENT);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

}  // namespace
