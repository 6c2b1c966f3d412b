// Creating objects by class id: the class registry names the in-process
// server module of a class (CLSID\{clsid}\InprocServer32), the module is
// loaded once per process and asked for the class factory through its
// DllGetClassObject. CoFreeUnusedLibraries unloads the modules whose
// DllCanUnloadNow answers S_OK.
//
// Thread-safe: the table of loaded modules is guarded by a lock, which is
// never held while a module's code runs.
#pragma once

#include <cstddef>

#include "platform/com/class_factory.h"

inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
inline constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
inline constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;
inline constexpr DWORD CLSCTX_ALL = 0x17;

// Results: REGDB_E_CLASSNOTREG when the class (or its InprocServer32 path)
// is not registered or no in-process server is allowed by `context`;
// CO_E_DLLNOTFOUND when the module cannot be loaded; CO_E_ERRORINDLL when
// it does not export DllGetClassObject; else the module's answer.
HRESULT CoGetClassObject(REFCLSID clsid,
                         DWORD context,
                         void* server_info,
                         REFIID iid,
                         void** object);
// The class factory's CreateInstance, after CoGetClassObject.
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** object);
void CoFreeUnusedLibraries();

// The object model keeps no per-thread state beyond the error object;
// these exist for hosts written against the desktop platform.
HRESULT CoInitialize(void* reserved);
void CoUninitialize();

namespace vyn {
// How many server modules this process has loaded through the functions above.
std::size_t LoadedServerCount();
}  // namespace vyn
