#include "platform/com/variant.h"

#include <cstring>

#include "platform/com/dispatch.h"

namespace {

bool IsKnownType(VARTYPE vt) {
  if (vt & VT_BYREF)
    return true;
  switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_ERROR:
    case VT_BOOL:
    case VT_UNKNOWN:
    case VT_I1:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
      return true;
    default:
      return false;
  }
}

}  // namespace

void VariantInit(VARIANT* variant) {
  std::memset(variant, 0, sizeof *variant);
  variant->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANT* variant) {
  if (!variant)
    return E_INVALIDARG;
  if (!IsKnownType(variant->vt))
    return DISP_E_BADVARTYPE;
  switch (variant->vt) {
    case VT_BSTR:
      SysFreeString(variant->bstrVal);
      break;
    case VT_DISPATCH:
    case VT_UNKNOWN:
      if (variant->punkVal)
        variant->punkVal->Release();
      break;
    default:
      break;
  }
  VariantInit(variant);
  return S_OK;
}

HRESULT VariantCopy(VARIANT* dest, const VARIANT* source) {
  if (!dest || !source)
    return E_INVALIDARG;
  if (dest == source)
    return S_OK;
  if (!IsKnownType(source->vt))
    return DISP_E_BADVARTYPE;
  if (HRESULT hr = VariantClear(dest); FAILED(hr))
    return hr;
  VARIANT copy = *source;
  if (source->vt == VT_BSTR && source->bstrVal) {
    copy.bstrVal = SysAllocStringLen(source->bstrVal, SysStringLen(source->bstrVal));
    if (!copy.bstrVal)
      return E_OUTOFMEMORY;
  } else if ((source->vt == VT_DISPATCH || source->vt == VT_UNKNOWN) && source->punkVal) {
    source->punkVal->AddRef();
  }
  *dest = copy;
  return S_OK;
}

namespace vyn {

Variant& Variant::operator=(Variant&& other) noexcept {
  if (this != &other) {
    VariantClear(&value_);
    value_ = other.value_;
    VariantInit(&other.value_);
  }
  return *this;
}

Variant Variant::FromLong(LONG value) {
  Variant result;
  result.value_.vt = VT_I4;
  result.value_.lVal = value;
  return result;
}

Variant Variant::FromBool(bool value) {
  Variant result;
  result.value_.vt = VT_BOOL;
  result.value_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return result;
}

Variant Variant::FromString(std::u16string_view text) {
  Variant result;
  result.value_.vt = VT_BSTR;
  result.value_.bstrVal = Bstr(text).Detach();
  return result;
}

Variant Variant::FromDispatch(IDispatch* object) {
  Variant result;
  result.value_.vt = VT_DISPATCH;
  result.value_.pdispVal = object;
  if (object)
    object->AddRef();
  return result;
}

}  // namespace vyn
