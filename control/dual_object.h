// DualObject<Derived, Dual, Others...>: a ComObject whose IDispatch members
// are served from the type library for its dual interface `Dual`, so each
// object class states its automation interface once and writes no
// dispatch code of its own.
//
// Thread-safety as the dispatcher's: the members may run on any thread
// the object's own members may run on.
#pragma once

#include "control/dispatch_impl.h"
#include "platform/com/com_object.h"

namespace vyn {

template <class Derived, class Dual, class... Others>
class DualObject : public ComObject<Derived, Dual, Others...> {
 public:
  HRESULT GetTypeInfoCount(UINT* count) override { return DispatchTypeInfoCount(count); }
  HRESULT GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    return DispatchTypeInfo<Dual>(index, info);
  }
  HRESULT GetIDsOfNames(REFIID iid, OLECHAR** names, UINT count, LCID, DISPID* ids) override {
    return DispatchGetIDsOfNames<Dual>(iid, names, count, ids);
  }
  HRESULT Invoke(DISPID id,
                 REFIID iid,
                 LCID,
                 WORD flags,
                 DISPPARAMS* params,
                 VARIANT* result,
                 EXCEPINFO* exception,
                 UINT* arg_error) override {
    return DispatchInvoke<Dual>(static_cast<Derived*>(this), id, iid, flags, params, result,
                                exception, arg_error);
  }

 protected:
  ~DualObject() override = default;
};

}  // namespace vyn
