// The back-end used when an ASPI library is installed: the library, loaded
// by its plain name through the loader's search path, else from the system
// directory, else from the Windows directory, and its two entry points.
//
// Thread-safe after Load: the library handles concurrent requests itself.
// Owned by the transport; unloads the library when destroyed.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/com/result.h"
#include "platform/scsi/aspi.h"
#include "platform/win/module.h"

namespace vyn {

inline constexpr char kAspiLibraryName[] = "wnaspi32.dll";

class AspiLibraryBackend {
 public:
  // Fails with ERROR_MOD_NOT_FOUND when no directory holds the library, and
  // with ERROR_PROC_NOT_FOUND when the library lacks an entry point (the
  // library is then unloaded again).
  static Result<std::unique_ptr<AspiLibraryBackend>> Load(std::string_view file_name);

  ~AspiLibraryBackend();
  AspiLibraryBackend(const AspiLibraryBackend&) = delete;
  AspiLibraryBackend& operator=(const AspiLibraryBackend&) = delete;

  DWORD GetSupportInfo() const { return get_support_info_(); }
  BYTE Submit(void* request) const { return static_cast<BYTE>(send_command_(request)); }
  // Where the library was loaded from.
  std::string Path() const;

 private:
  AspiLibraryBackend(HMODULE module,
                     GetASPI32SupportInfoFn get_support_info,
                     SendASPI32CommandFn send_command);

  HMODULE module_;
  GetASPI32SupportInfoFn get_support_info_;
  SendASPI32CommandFn send_command_;
};

}  // namespace vyn
