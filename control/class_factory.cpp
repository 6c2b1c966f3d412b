#include "control/class_factory.h"

#include <mutex>

#include "control/class_ids.h"
#include "control/module_lock.h"
#include "control/vyn_cd_ripper.h"

namespace vyn {

HRESULT ControlClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
  if (!object)
    return E_POINTER;
  *object = nullptr;
  if (outer)
    return CLASS_E_NOAGGREGATION;
  return CreateVynCDRipper(nullptr, iid, object);
}

HRESULT ControlClassFactory::LockServer(BOOL lock) {
  if (lock)
    LockModule();
  else
    UnlockModule();
  return S_OK;
}

HRESULT GetControlClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (!object)
    return E_POINTER;
  *object = nullptr;
  if (clsid != CLSID_VynCDRipper)
    return CLASS_E_CLASSNOTAVAILABLE;
  // Released by the static's destructor when the module is unloaded.
  static std::mutex mutex;
  static ComPtr<ControlClassFactory> factory;  // guarded by mutex
  ComPtr<ControlClassFactory> made;
  {
    std::lock_guard lock(mutex);
    if (!factory)
      factory = ControlClassFactory::Create();
    made = factory;
  }
  if (!made)
    return E_OUTOFMEMORY;
  return made->QueryInterface(iid, object);
}

}  // namespace vyn
