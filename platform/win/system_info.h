// What the platform says about itself: always the NT platform, major
// version 10, so callers take the wide-text paths.
#pragma once

#include "platform/win/types.h"

inline constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

struct OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  char szCSDVersion[128];
};

// The caller sets dwOSVersionInfoSize to sizeof(OSVERSIONINFOA).
BOOL GetVersionExA(OSVERSIONINFOA* info);
