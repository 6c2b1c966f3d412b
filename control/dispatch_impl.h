// IDispatch served from the control's type library, for every dual
// interface of the control: an object forwards its four IDispatch members
// here with the interface they belong to, e.g.
//
//   HRESULT Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
//                  VARIANT* result, EXCEPINFO* exception, UINT* arg_error) override {
//     return DispatchInvoke<IDrive>(this, id, iid, flags, params, result, exception, arg_error);
//   }
//
// Invoke finds the member by dispid and call kind (a property read may come
// as DISPATCH_METHOD | DISPATCH_PROPERTYGET; a put names its value
// DISPID_PROPERTYPUT), takes the arguments in reverse order, reads BYREF
// arguments through, coerces each to its declared type and runs the member.
// Errors: DISP_E_UNKNOWNINTERFACE (iid not IID_NULL), DISP_E_MEMBERNOTFOUND,
// DISP_E_PARAMNOTOPTIONAL (a put without its value), DISP_E_NONAMEDARGS,
// DISP_E_BADPARAMCOUNT, DISP_E_TYPEMISMATCH or DISP_E_OVERFLOW with
// *arg_error set to the argument's index in rgvarg. A failing member gives
// DISP_E_EXCEPTION with the EXCEPINFO filled from the thread's error object
// (scode = the member's HRESULT); without an EXCEPINFO, the member's HRESULT.
//
// Runs on the calling thread and keeps no state; thread-safe.
#pragma once

#include "platform/com/dispatch.h"
#include "platform/com/type_description.h"
#include "platform/com/type_info.h"

namespace vyn {

HRESULT DispatchTypeInfoCount(UINT* count);
// index 0: the interface's type info; DISP_E_BADINDEX otherwise.
HRESULT DispatchTypeInfo(const tlb::Type* type, UINT index, ITypeInfo** info);
HRESULT DispatchGetIDsOfNames(const tlb::Type* type,
                              REFIID iid,
                              OLECHAR** names,
                              UINT count,
                              DISPID* ids);
// `self` is the interface pointer `type` describes.
HRESULT DispatchInvoke(const tlb::Type* type,
                       void* self,
                       DISPID id,
                       REFIID iid,
                       WORD flags,
                       DISPPARAMS* params,
                       VARIANT* result,
                       EXCEPINFO* exception,
                       UINT* arg_error);

// The type info of one of the library's types, from the in-process table.
HRESULT LibraryTypeInfo(REFGUID guid, ITypeInfo** info);

const tlb::Type* LibraryTypeOf(REFIID iid);

template <class I>
HRESULT DispatchTypeInfo(UINT index, ITypeInfo** info) {
  return DispatchTypeInfo(LibraryTypeOf(I::kIid), index, info);
}

template <class I>
HRESULT DispatchGetIDsOfNames(REFIID iid, OLECHAR** names, UINT count, DISPID* ids) {
  return DispatchGetIDsOfNames(LibraryTypeOf(I::kIid), iid, names, count, ids);
}

template <class I>
HRESULT DispatchInvoke(I* self,
                       DISPID id,
                       REFIID iid,
                       WORD flags,
                       DISPPARAMS* params,
                       VARIANT* result,
                       EXCEPINFO* exception,
                       UINT* arg_error) {
  return DispatchInvoke(LibraryTypeOf(I::kIid), static_cast<void*>(self), id, iid, flags, params,
                        result, exception, arg_error);
}

}  // namespace vyn
