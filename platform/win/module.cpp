#include "platform/win/module.h"

#include <dlfcn.h>
#include <link.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/win/last_error.h"

namespace vyn {

std::string SharedObjectName(std::string_view module_name) {
  std::string name(module_name);
  for (char& c : name) {
    if (c == '\\')
      c = '/';
  }
  std::size_t slash = name.rfind('/');
  std::size_t file_start = slash == std::string::npos ? 0 : slash + 1;
  std::string file = name.substr(file_start);
  constexpr std::string_view kDll = ".dll";
  bool is_dll = file.size() > kDll.size() && strncasecmp(file.c_str() + file.size() - kDll.size(),
                                                         kDll.data(), kDll.size()) == 0;
  if (!is_dll)
    return name;
  std::string stem = file.substr(0, file.size() - kDll.size());
  for (char& c : stem)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name.substr(0, file_start) + "lib" + stem + ".so";
}

HMODULE ModuleContaining(const void* address) {
  Dl_info info{};
  if (!dladdr(address, &info) || !info.dli_fname)
    return nullptr;
  return dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD);
}

}  // namespace vyn

namespace {

// Copies `text` the way the directory functions report it.
UINT CopyDirectory(const std::string& text, char* buffer, UINT size) {
  if (text.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return 0;
  }
  if (!buffer || text.size() + 1 > size)
    return static_cast<UINT>(text.size() + 1);
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<UINT>(text.size());
}

std::string InstallDirectory() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<const void*>(&GetSystemDirectoryA), &info) || !info.dli_fname) {
    return {};
  }
  std::error_code error;
  auto path = std::filesystem::weakly_canonical(info.dli_fname, error);
  return (error ? std::filesystem::path(info.dli_fname) : path).parent_path().string();
}

std::string FromEnvironmentOr(const char* variable, std::string fallback) {
  const char* value = std::getenv(variable);
  return value && *value ? std::string(value) : fallback;
}

}  // namespace

HMODULE LoadLibraryA(const char* name) {
  if (!name || !*name) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::string file = vyn::SharedObjectName(name);
  HMODULE module = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module)
    SetLastError(ERROR_MOD_NOT_FOUND);
  return module;
}

FARPROC GetProcAddress(HMODULE module, const char* name) {
  if (!module || !name) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  void* symbol = dlsym(module, name);
  if (!symbol) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<FARPROC>(symbol);
}

BOOL FreeLibrary(HMODULE module) {
  if (!module || dlclose(module) != 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD size) {
  if (!buffer || size == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::string path;
  if (module) {
    struct link_map* map = nullptr;
    if (dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name || !*map->l_name) {
      SetLastError(ERROR_INVALID_HANDLE);
      return 0;
    }
    path = map->l_name;
  } else {
    std::error_code error;
    path = std::filesystem::read_symlink("/proc/self/exe", error).string();
  }
  if (path.size() + 1 > size) {
    std::memcpy(buffer, path.c_str(), size - 1);
    buffer[size - 1] = 0;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(buffer, path.c_str(), path.size() + 1);
  return static_cast<DWORD>(path.size());
}

UINT GetSystemDirectoryA(char* buffer, UINT size) {
  return CopyDirectory(FromEnvironmentOr("VYN_SYSTEM_DIR", InstallDirectory()), buffer, size);
}

UINT GetWindowsDirectoryA(char* buffer, UINT size) {
  std::string install = InstallDirectory();
  return CopyDirectory(
      FromEnvironmentOr("VYN_WINDOWS_DIR", install.empty() ? "" : install + "/vyn"), buffer, size);
}
