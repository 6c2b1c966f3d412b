#include "drive/aspi_library_backend.h"

#include "platform/scsi/pass_through.h"
#include "platform/win/last_error.h"

namespace vyn {
namespace {

using DirectoryQuery = UINT (*)(char*, UINT);

// "<directory>\<file name>", or empty when the directory is unknown.
std::string InDirectory(DirectoryQuery query, std::string_view file_name) {
  char directory[MAX_PATH] = {};
  UINT length = query(directory, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return {};
  return std::string(directory, length) + "\\" + std::string(file_name);
}

HMODULE LoadFromSearchPath(std::string_view file_name) {
  std::string name(file_name);
  if (HMODULE module = LoadLibraryA(name.c_str()))
    return module;
  for (DirectoryQuery query : {&GetSystemDirectoryA, &GetWindowsDirectoryA}) {
    std::string path = InDirectory(query, file_name);
    if (path.empty())
      continue;
    if (HMODULE module = LoadLibraryA(path.c_str()))
      return module;
  }
  return nullptr;
}

}  // namespace

Result<std::unique_ptr<AspiLibraryBackend>> AspiLibraryBackend::Load(std::string_view file_name) {
  HMODULE module = LoadFromSearchPath(file_name);
  if (!module)
    return SystemError(ERROR_MOD_NOT_FOUND);
  auto get_support_info =
      reinterpret_cast<GetASPI32SupportInfoFn>(GetProcAddress(module, kGetSupportInfoName));
  auto send_command =
      reinterpret_cast<SendASPI32CommandFn>(GetProcAddress(module, kSendCommandName));
  if (!get_support_info || !send_command) {
    FreeLibrary(module);
    return SystemError(ERROR_PROC_NOT_FOUND);
  }
  return std::unique_ptr<AspiLibraryBackend>(
      new AspiLibraryBackend(module, get_support_info, send_command));
}

AspiLibraryBackend::AspiLibraryBackend(HMODULE module,
                                       GetASPI32SupportInfoFn get_support_info,
                                       SendASPI32CommandFn send_command)
    : module_(module), get_support_info_(get_support_info), send_command_(send_command) {}

AspiLibraryBackend::~AspiLibraryBackend() {
  FreeLibrary(module_);
}

std::string AspiLibraryBackend::Path() const {
  char path[4096] = {};
  DWORD length = GetModuleFileNameA(module_, path, sizeof path);
  return std::string(path, length);
}

}  // namespace vyn
