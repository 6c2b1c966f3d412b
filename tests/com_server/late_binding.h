// Calls through IDispatch by name, the way a scripting host does: names to
// dispids with GetIDsOfNames, then Invoke with the arguments reversed.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/com/dispatch.h"

namespace vyn::testing {

struct LateCall {
  HRESULT hr = E_FAIL;
  Variant result;
  EXCEPINFO exception{};
  UINT arg_error = ~0u;

  LateCall() = default;
  LateCall(const LateCall&) = delete;
  LateCall& operator=(const LateCall&) = delete;
  ~LateCall() {
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
  }
};

inline DISPID DispidOf(IDispatch* object, const std::u16string& name) {
  std::u16string copy = name;
  OLECHAR* names[] = {copy.data()};
  DISPID id = DISPID_UNKNOWN;
  EXPECT_EQ(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK)
      << "no member";
  return id;
}

// `args` in declaration order; a put passes its value last.
inline void InvokeByName(IDispatch* object,
                         const std::u16string& name,
                         WORD flags,
                         std::vector<Variant>&& args,
                         LateCall* call) {
  DISPID id = DispidOf(object, name);
  std::vector<VARIANT> reversed;
  for (auto it = args.rbegin(); it != args.rend(); ++it)
    reversed.push_back(*it->get());
  DISPID put_name = DISPID_PROPERTYPUT;
  bool put = flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
  DISPPARAMS params{reversed.data(), put ? &put_name : nullptr, static_cast<UINT>(reversed.size()),
                    put ? 1u : 0u};
  call->hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, call->result.get(),
                            &call->exception, &call->arg_error);
}

// The value of a property (or of a method with a result) that must succeed.
inline Variant Get(IDispatch* object, const std::u16string& name, std::vector<Variant> args = {}) {
  LateCall call;
  InvokeByName(object, name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, std::move(args), &call);
  EXPECT_EQ(call.hr, S_OK) << "reading " << std::string(name.begin(), name.end());
  return std::move(call.result);
}

inline ComPtr<IDispatch> GetObject(IDispatch* object,
                                   const std::u16string& name,
                                   std::vector<Variant> args = {}) {
  Variant value = Get(object, name, std::move(args));
  if (value->vt != VT_DISPATCH) {
    ADD_FAILURE() << "not an object: vt " << value->vt;
    return nullptr;
  }
  return ComPtr<IDispatch>(value->pdispVal);
}

inline Variant BstrVariant(std::u16string_view text) {
  return Variant::FromString(text);
}

}  // namespace vyn::testing
