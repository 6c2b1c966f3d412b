#include "platform/win/module.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/win/last_error.h"

namespace {

// Catches a name mapping that breaks paths or misses the module suffix.
TEST(ModuleTest, DesktopModuleNamesMapToSharedObjects) {
  static const struct {
    const char* name;
    const char* file;
  } kCases[] = {
      {"wnaspi32.dll", "libwnaspi32.so"},
      {"WNASPI32.DLL", "libwnaspi32.so"},
      {"/opt/x/wnaspi32.dll", "/opt/x/libwnaspi32.so"},
      {"C:\\dir\\Foo.Dll", "C:/dir/libfoo.so"},
      {"libm.so.6", "libm.so.6"},
      {".dll", ".dll"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(vyn::SharedObjectName(c.name), c.file);
  }
}

TEST(ModuleTest, MissingModuleAndExportSetTheirCodes) {
  SetLastError(0);
  EXPECT_EQ(LoadLibraryA("no-such-module.dll"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
  HMODULE libm = LoadLibraryA("libm.so.6");
  ASSERT_NE(libm, nullptr);
  EXPECT_NE(GetProcAddress(libm, "cos"), nullptr);
  EXPECT_EQ(GetProcAddress(libm, "NoSuchExport"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
  char path[MAX_PATH];
  EXPECT_GT(GetModuleFileNameA(libm, path, sizeof path), 0u);
  EXPECT_NE(std::string(path).find("libm"), std::string::npos);
  EXPECT_TRUE(FreeLibrary(libm));
}

// Catches directory lookups that ignore the overrides tests rely on, or
// overrun a small buffer.
TEST(ModuleTest, DirectoriesFollowTheirOverrides) {
  char buffer[MAX_PATH];
  UINT length = GetSystemDirectoryA(buffer, sizeof buffer);
  ASSERT_GT(length, 0u);
  std::string system(buffer, length);
  length = GetWindowsDirectoryA(buffer, sizeof buffer);
  EXPECT_EQ(std::string(buffer, length), system + "/vyn");

  setenv("VYN_WINDOWS_DIR", "/tmp/windows-here", 1);
  length = GetWindowsDirectoryA(buffer, sizeof buffer);
  EXPECT_EQ(std::string(buffer, length), "/tmp/windows-here");
  char tiny[4];
  EXPECT_EQ(GetWindowsDirectoryA(tiny, sizeof tiny), sizeof("/tmp/windows-here"));
  unsetenv("VYN_WINDOWS_DIR");
}

}  // namespace
