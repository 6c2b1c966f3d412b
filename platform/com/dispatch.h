// IDispatch and the argument records of late-bound calls.
#pragma once

#include "platform/com/variant.h"

struct ITypeInfo;  // served by the type-library support of the control

inline constexpr WORD DISPATCH_METHOD = 0x1;
inline constexpr WORD DISPATCH_PROPERTYGET = 0x2;
inline constexpr WORD DISPATCH_PROPERTYPUT = 0x4;
inline constexpr WORD DISPATCH_PROPERTYPUTREF = 0x8;

inline constexpr DISPID DISPID_UNKNOWN = -1;
inline constexpr DISPID DISPID_VALUE = 0;
inline constexpr DISPID DISPID_PROPERTYPUT = -3;
inline constexpr DISPID DISPID_NEWENUM = -4;

struct DISPPARAMS {
  VARIANTARG* rgvarg;  // arguments in reverse order
  DISPID* rgdispidNamedArgs;
  UINT cArgs;
  UINT cNamedArgs;
};

struct EXCEPINFO {
  WORD wCode;
  WORD wReserved;
  BSTR bstrSource;
  BSTR bstrDescription;
  BSTR bstrHelpFile;
  DWORD dwHelpContext;
  void* pvReserved;
  HRESULT (*pfnDeferredFillIn)(EXCEPINFO*);
  SCODE scode;
};

struct IDispatch : IUnknown {
  using Base = IUnknown;
  static constexpr IID kIid = MakeGuid("00020400-0000-0000-C000-000000000046");

  virtual HRESULT GetTypeInfoCount(UINT* count) = 0;
  virtual HRESULT GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) = 0;
  virtual HRESULT GetIDsOfNames(REFIID iid,
                                OLECHAR** names,
                                UINT count,
                                LCID locale,
                                DISPID* ids) = 0;
  virtual HRESULT Invoke(DISPID member,
                         REFIID iid,
                         LCID locale,
                         WORD flags,
                         DISPPARAMS* params,
                         VARIANT* result,
                         EXCEPINFO* exception,
                         UINT* argument_error) = 0;

 protected:
  ~IDispatch() = default;
};

inline constexpr IID IID_IDispatch = IDispatch::kIid;
