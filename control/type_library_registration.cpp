#include "control/type_library_registration.h"

#include "platform/com/com_ptr.h"
#include "platform/com/type_library_registration.h"
#include "platform/text/code_page.h"

namespace vyn {

std::string TypeLibraryFallbackPath(std::string_view module_path) {
  // Only a period in the file name starts an extension: one in a folder
  // name would put the file in another place.
  std::size_t name_start = module_path.find_last_of("/\\:");
  name_start = name_start == std::string_view::npos ? 0 : name_start + 1;
  std::size_t period = module_path.rfind('.');
  if (period == std::string_view::npos || period < name_start)
    period = module_path.size();
  return std::string(module_path.substr(0, period)) + ".tlb";
}

std::string ModuleDirectory(std::string_view module_path) {
  std::size_t separator = module_path.find_last_of("/\\:");
  return separator == std::string_view::npos ? std::string()
                                             : std::string(module_path.substr(0, separator));
}

HRESULT LoadModuleTypeLibrary(const std::string& module_path, ITypeLib** library) {
  if (SUCCEEDED(LoadTypeLib(Utf8ToWide(module_path).c_str(), library)))
    return S_OK;
  return LoadTypeLib(Utf8ToWide(TypeLibraryFallbackPath(module_path)).c_str(), library);
}

HRESULT RegisterModuleTypeLibrary(const std::string& module_path) {
  ComPtr<ITypeLib> library;
  std::string path = module_path;
  if (FAILED(LoadTypeLib(Utf8ToWide(path).c_str(), library.Receive()))) {
    path = TypeLibraryFallbackPath(module_path);
    if (HRESULT hr = LoadTypeLib(Utf8ToWide(path).c_str(), library.Receive()); FAILED(hr))
      return hr;
  }
  return RegisterTypeLib(library.Get(), Utf8ToWide(path).c_str(),
                         Utf8ToWide(ModuleDirectory(module_path)).c_str());
}

void UnregisterModuleTypeLibrary(const std::string& module_path) {
  ComPtr<ITypeLib> library;
  if (FAILED(LoadModuleTypeLibrary(module_path, library.Receive())))
    return;
  TLIBATTR* attributes = nullptr;
  if (FAILED(library->GetLibAttr(&attributes)))
    return;
  TLIBATTR lib = *attributes;
  library->ReleaseTLibAttr(attributes);
  UnRegisterTypeLib(lib.guid, lib.wMajorVerNum, lib.wMinorVerNum, lib.lcid, lib.syskind);
}

}  // namespace vyn
