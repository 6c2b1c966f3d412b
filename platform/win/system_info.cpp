#include "platform/win/system_info.h"

#include <cstring>

#include "platform/win/last_error.h"

BOOL GetVersionExA(OSVERSIONINFOA* info) {
  if (!info || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memset(info, 0, sizeof *info);
  info->dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
  info->dwMajorVersion = 10;
  info->dwPlatformId = VER_PLATFORM_WIN32_NT;
  return TRUE;
}
