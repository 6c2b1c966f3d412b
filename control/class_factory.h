// The class factory of the control's class, the one class the module lets
// hosts create. Made once per module on first request (under a lock, so two
// threads make one) and kept until the module is unloaded.
//
// Thread-safe: CreateInstance runs the control's creation on the calling
// thread, which becomes the control's home thread; LockServer changes the
// module lock count atomically.
#pragma once

#include "platform/com/class_factory.h"
#include "platform/com/com_object.h"

namespace vyn {

class ControlClassFactory final : public ComObject<ControlClassFactory, IClassFactory> {
 public:
  // Aggregation: CLASS_E_NOAGGREGATION; otherwise the control's creation.
  HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
  HRESULT LockServer(BOOL lock) override;

 protected:
  ~ControlClassFactory() override = default;
};

// DllGetClassObject's work: the factory for the control's class id,
// CLASS_E_CLASSNOTAVAILABLE for every other class.
HRESULT GetControlClassObject(REFCLSID clsid, REFIID iid, void** object);

}  // namespace vyn
