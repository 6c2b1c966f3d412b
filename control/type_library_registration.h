// Registering the module's type library. The library is loaded from the
// module's own path; when that fails, from the same path with its file
// extension replaced by ".tlb" (appended when the file name has none), and
// the loader's result of that second attempt is the failure.
#pragma once

#include <string>
#include <string_view>

#include "platform/com/type_info.h"

namespace vyn {

// "/x/libvynctl.so" → "/x/libvynctl.tlb"; "/x.d/vynctl" → "/x.d/vynctl.tlb".
std::string TypeLibraryFallbackPath(std::string_view module_path);
// The module's folder, the help directory of the registration: the path up
// to its last "/", "\" or ":" (empty when it has none).
std::string ModuleDirectory(std::string_view module_path);

HRESULT LoadModuleTypeLibrary(const std::string& module_path, ITypeLib** library);
// Loads and registers the library under the path it was loaded from.
HRESULT RegisterModuleTypeLibrary(const std::string& module_path);
// Unregisters the library's version; a library that cannot be loaded is
// left alone. Reports nothing.
void UnregisterModuleTypeLibrary(const std::string& module_path);

}  // namespace vyn
