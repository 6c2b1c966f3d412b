#include "platform/com/co_create.h"

#include <map>
#include <mutex>
#include <string>

#include "platform/com/com_ptr.h"
#include "platform/com/registry_keys.h"
#include "platform/text/code_page.h"
#include "platform/win/module.h"
#include "platform/win/registry.h"

namespace {

struct ServerModule {
  HMODULE handle;
  DllGetClassObjectFunction get_class_object;
  DllCanUnloadNowFunction can_unload_now;  // may be null: never unloaded
};

class ServerModules {
 public:
  static ServerModules& Instance() {
    static ServerModules modules;
    return modules;
  }

  // The module at `path`, loaded on first use.
  HRESULT Find(const std::string& path, ServerModule* found) {
    std::lock_guard lock(mutex_);
    if (auto known = modules_.find(path); known != modules_.end()) {
      *found = known->second;
      return S_OK;
    }
    HMODULE handle = LoadLibraryA(path.c_str());
    if (!handle)
      return CO_E_DLLNOTFOUND;
    auto get =
        reinterpret_cast<DllGetClassObjectFunction>(GetProcAddress(handle, "DllGetClassObject"));
    if (!get) {
      FreeLibrary(handle);
      return CO_E_ERRORINDLL;
    }
    auto can_unload =
        reinterpret_cast<DllCanUnloadNowFunction>(GetProcAddress(handle, "DllCanUnloadNow"));
    *found = modules_[path] = ServerModule{handle, get, can_unload};
    return S_OK;
  }

  // DllCanUnloadNow only reads the module's counter, so it runs under the
  // lock: no other thread can take a new factory from a module between its
  // answer and its unloading.
  void FreeUnused() {
    std::lock_guard lock(mutex_);
    for (auto it = modules_.begin(); it != modules_.end();) {
      const ServerModule& module = it->second;
      if (module.can_unload_now && module.can_unload_now() == S_OK) {
        FreeLibrary(module.handle);
        it = modules_.erase(it);
      } else {
        ++it;
      }
    }
  }

  std::size_t Count() {
    std::lock_guard lock(mutex_);
    return modules_.size();
  }

 private:
  std::mutex mutex_;
  std::map<std::string, ServerModule> modules_;  // guarded by mutex_
};

}  // namespace

HRESULT CoGetClassObject(REFCLSID clsid,
                         DWORD context,
                         void* server_info,
                         REFIID iid,
                         void** object) {
  if (!object)
    return E_POINTER;
  *object = nullptr;
  if (!(context & CLSCTX_INPROC_SERVER))
    return REGDB_E_CLASSNOTREG;
  auto path = vyn::reg::ReadString(u"CLSID\\" + clsid.ToWide() + u"\\InprocServer32");
  if (!path || path->empty())
    return REGDB_E_CLASSNOTREG;
  ServerModule module{};
  if (HRESULT hr = ServerModules::Instance().Find(vyn::WideToUtf8(*path), &module); FAILED(hr))
    return hr;
  return module.get_class_object(clsid, iid, object);
}

HRESULT CoCreateInstance(REFCLSID clsid,
                         IUnknown* outer,
                         DWORD context,
                         REFIID iid,
                         void** object) {
  if (!object)
    return E_POINTER;
  *object = nullptr;
  ComPtr<IClassFactory> factory;
  if (HRESULT hr =
          CoGetClassObject(clsid, context, nullptr, IID_IClassFactory, factory.ReceiveVoid());
      FAILED(hr))
    return hr;
  return factory->CreateInstance(outer, iid, object);
}

void CoFreeUnusedLibraries() {
  ServerModules::Instance().FreeUnused();
}

HRESULT CoInitialize(void*) {
  return S_OK;
}

void CoUninitialize() {}

namespace vyn {
std::size_t LoadedServerCount() {
  return ServerModules::Instance().Count();
}
}  // namespace vyn
