// DispatchStub<Derived, I...>: a ComObject whose IDispatch members answer
// E_NOTIMPL, for test objects that only need to be dual-interface shaped.
#pragma once

#include "platform/com/com_object.h"
#include "platform/com/dispatch.h"

namespace vyn::testing {

template <class Derived, class... Interfaces>
class DispatchStub : public ComObject<Derived, Interfaces...> {
 public:
  HRESULT GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(REFIID, OLECHAR**, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

 protected:
  ~DispatchStub() override = default;
};

}  // namespace vyn::testing
