// The entry points of the loadable module libvynctl.so, and its type
// library under the well-known symbol. These are the only names the module
// exports (vynctl.map).
#include <filesystem>

#include "control/class_factory.h"
#include "control/module_lock.h"
#include "control/server_registration.h"
#include "control/type_library.h"
#include "control/type_library_registration.h"
#include "platform/win/module.h"

#define VYN_EXPORT __attribute__((visibility("default")))

extern "C" {

VYN_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object);
VYN_EXPORT HRESULT DllCanUnloadNow();
VYN_EXPORT HRESULT DllRegisterServer();
VYN_EXPORT HRESULT DllUnregisterServer();
// The name is vyn::tlb::kTypeLibrarySymbol.
VYN_EXPORT extern const vyn::tlb::Library* const VynTypeLibrary1;

}  // extern "C"

const vyn::tlb::Library* const VynTypeLibrary1 = &vyn::kVynTypeLibrary;

namespace {

// This module's full path, as the registry records it.
std::string ModulePath() {
  HMODULE self = vyn::ModuleContaining(reinterpret_cast<const void*>(&DllRegisterServer));
  if (!self)
    return {};
  char buffer[4096];
  DWORD length = GetModuleFileNameA(self, buffer, sizeof buffer);
  FreeLibrary(self);
  if (length == 0)
    return {};
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(buffer, error);
  return error ? std::string(buffer) : absolute.string();
}

}  // namespace

HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  return vyn::GetControlClassObject(clsid, iid, object);
}

HRESULT DllCanUnloadNow() {
  return vyn::ModuleLockCount() == 0 ? S_OK : S_FALSE;
}

HRESULT DllRegisterServer() {
  std::string path = ModulePath();
  if (path.empty())
    return E_UNEXPECTED;
  if (HRESULT hr = vyn::WriteServerEntries(path); FAILED(hr))
    return hr;
  return vyn::RegisterModuleTypeLibrary(path);
}

HRESULT DllUnregisterServer() {
  vyn::RemoveServerEntries();
  std::string path = ModulePath();
  if (!path.empty())
    vyn::UnregisterModuleTypeLibrary(path);
  return S_OK;
}
