// VARIANT for the types the automation surface uses, with the ownership
// rules of VariantInit/VariantClear/VariantCopy: a VARIANT owns its BSTR
// and holds one reference to its interface; BYREF forms own nothing.
#pragma once

#include "platform/com/bstr.h"
#include "platform/com/unknown.h"

struct IDispatch;

using VARTYPE = std::uint16_t;
using VARIANT_BOOL = std::int16_t;

inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

enum : VARTYPE {
  VT_EMPTY = 0,
  VT_NULL = 1,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_R4 = 4,
  VT_R8 = 5,
  VT_BSTR = 8,
  VT_DISPATCH = 9,
  VT_ERROR = 10,
  VT_BOOL = 11,
  VT_VARIANT = 12,
  VT_UNKNOWN = 13,
  VT_I1 = 16,
  VT_UI1 = 17,
  VT_UI2 = 18,
  VT_UI4 = 19,
  VT_INT = 22,
  VT_UINT = 23,
  VT_VOID = 24,
  VT_HRESULT = 25,
  VT_BYREF = 0x4000,
  VT_TYPEMASK = 0x0FFF,
};

struct VARIANT {
  VARTYPE vt;
  WORD wReserved1;
  WORD wReserved2;
  WORD wReserved3;
  union {
    LONG lVal;
    BYTE bVal;
    SHORT iVal;
    float fltVal;
    double dblVal;
    VARIANT_BOOL boolVal;
    SCODE scode;
    BSTR bstrVal;
    IUnknown* punkVal;
    IDispatch* pdispVal;
    signed char cVal;
    USHORT uiVal;
    ULONG ulVal;
    INT intVal;
    UINT uintVal;
    BYTE* pbVal;
    SHORT* piVal;
    LONG* plVal;
    float* pfltVal;
    double* pdblVal;
    VARIANT_BOOL* pboolVal;
    SCODE* pscode;
    BSTR* pbstrVal;
    IUnknown** ppunkVal;
    IDispatch** ppdispVal;
    VARIANT* pvarVal;
    void* byref;
  };
};
using VARIANTARG = VARIANT;

void VariantInit(VARIANT* variant);
// Frees what the variant owns and leaves it VT_EMPTY. An unknown type gives
// DISP_E_BADVARTYPE and leaves the variant as it was.
HRESULT VariantClear(VARIANT* variant);
// Clears `dest`, then makes it an owning copy of `source`.
HRESULT VariantCopy(VARIANT* dest, const VARIANT* source);
// Converts `source` (a BYREF form is read through) to type `vt` into `dest`,
// which may be `source` itself; `dest` changes only on success. Among
// VT_EMPTY, VT_I1/I2/I4/INT, VT_UI1/UI2/UI4/UINT, VT_R4/R8, VT_BOOL and
// VT_BSTR: numbers round half to even, BOOL is -1 or 0 and any non-zero
// number is true, BSTR holds decimal text ("True"/"False" for BOOL, and
// either or a number back), EMPTY is 0, false or "". VT_DISPATCH and
// VT_UNKNOWN convert into each other by QueryInterface. Results:
// DISP_E_OVERFLOW when the value does not fit, DISP_E_TYPEMISMATCH for text
// that is no number and every other pair, DISP_E_BADVARTYPE for unknown
// types. `flags` is accepted for the desktop signature and ignored.
HRESULT VariantChangeType(VARIANT* dest, const VARIANT* source, USHORT flags, VARTYPE vt);

namespace vyn {

// Owns one VARIANT; clears it on destruction. Move-only.
class Variant {
 public:
  Variant() { VariantInit(&value_); }
  Variant(Variant&& other) noexcept : value_(other.value_) { VariantInit(&other.value_); }
  Variant& operator=(Variant&& other) noexcept;
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(&value_); }

  static Variant FromLong(LONG value);
  static Variant FromBool(bool value);
  static Variant FromString(std::u16string_view text);  // VT_BSTR, owned
  static Variant FromDispatch(IDispatch* object);       // takes a new reference

  VARIANT* get() { return &value_; }
  const VARIANT* get() const { return &value_; }
  VARIANT* operator->() { return &value_; }
  const VARIANT* operator->() const { return &value_; }

 private:
  VARIANT value_;
};

}  // namespace vyn
