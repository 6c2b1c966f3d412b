#include "platform/win/last_error.h"

#include <cerrno>

namespace {

thread_local DWORD t_last_error = ERROR_SUCCESS;

}  // namespace

DWORD GetLastError() {
  return t_last_error;
}

void SetLastError(DWORD code) {
  t_last_error = code;
}

namespace vyn {

DWORD Win32ErrorFromErrno(int errno_value) {
  switch (errno_value) {
    case 0:
      return ERROR_SUCCESS;
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:  // a component of the path is not a directory
      return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:  // opening a directory as a file is refused as access
      return ERROR_ACCESS_DENIED;
    case EBADF:
      return ERROR_INVALID_HANDLE;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case EMFILE:
    case ENFILE:
      return ERROR_TOO_MANY_OPEN_FILES;
    case ENOSPC:
    case EDQUOT:
      return ERROR_DISK_FULL;
    case EEXIST:
      return ERROR_FILE_EXISTS;
    case EINVAL:
      return ERROR_INVALID_PARAMETER;
    case EPIPE:
      return ERROR_BROKEN_PIPE;
    case ETIMEDOUT:
      return ERROR_TIMEOUT;
    case ENOMEDIUM:
    case EMEDIUMTYPE:
      return ERROR_NOT_READY;
    case EIO:
      return ERROR_IO_DEVICE;
    case ENAMETOOLONG:
      return ERROR_FILENAME_EXCED_RANGE;
    case ENOTEMPTY:
      return ERROR_DIR_NOT_EMPTY;
    case EBUSY:
    case ETXTBSY:
      return ERROR_BUSY;
    case EXDEV:
      return ERROR_NOT_SAME_DEVICE;
    case ENODEV:
    case ENXIO:
      return ERROR_DEV_NOT_EXIST;
    case EFAULT:
      return ERROR_NOACCESS;
    case EFBIG:
      return ERROR_FILE_TOO_LARGE;
    case ENOTTY:  // an ioctl the device does not know
      return ERROR_INVALID_FUNCTION;
    case ENOSYS:
      return ERROR_CALL_NOT_IMPLEMENTED;
    case EOPNOTSUPP:  // the same value as ENOTSUP on Linux
      return ERROR_NOT_SUPPORTED;
    case ECANCELED:
      return ERROR_OPERATION_ABORTED;
    case EILSEQ:
      return ERROR_NO_UNICODE_TRANSLATION;
    case ESPIPE:
      return ERROR_SEEK;
    default:
      return ERROR_GEN_FAILURE;
  }
}

void SetLastErrorFromErrno(int errno_value) {
  SetLastError(Win32ErrorFromErrno(errno_value));
}

}  // namespace vyn
