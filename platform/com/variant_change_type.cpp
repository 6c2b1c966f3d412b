// VariantChangeType: the coercions a late-bound call needs between the
// automation scalar types, strings and interfaces (see variant.h).
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>

#include "platform/com/dispatch.h"
#include "platform/com/variant.h"
#include "platform/text/code_page.h"

namespace {

// A scalar source reduced to one of three shapes.
struct Scalar {
  enum Kind { kInteger, kReal } kind;
  long long integer = 0;
  double real = 0;
};

bool IsIntegerType(VARTYPE vt) {
  switch (vt) {
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_INT:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_UINT:
      return true;
    default:
      return false;
  }
}

bool IsNumericTarget(VARTYPE vt) {
  return IsIntegerType(vt) || vt == VT_R4 || vt == VT_R8 || vt == VT_BOOL;
}

// The plain value a BYREF variant points at.
bool ReadThrough(const VARIANT& source, VARIANT* plain) {
  if (!(source.vt & VT_BYREF)) {
    *plain = source;
    return true;
  }
  if (!source.byref)
    return false;
  VARTYPE base = source.vt & VT_TYPEMASK;
  if (base == VT_VARIANT)
    return ReadThrough(*source.pvarVal, plain);
  VariantInit(plain);
  plain->vt = base;
  switch (base) {
    case VT_I1:
    case VT_UI1:
      plain->bVal = *source.pbVal;
      return true;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL:
      plain->iVal = *source.piVal;
      return true;
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_ERROR:
      plain->lVal = *source.plVal;
      return true;
    case VT_R4:
      plain->fltVal = *source.pfltVal;
      return true;
    case VT_R8:
      plain->dblVal = *source.pdblVal;
      return true;
    case VT_BSTR:
      plain->bstrVal = *source.pbstrVal;
      return true;
    case VT_DISPATCH:
    case VT_UNKNOWN:
      plain->punkVal = *source.ppunkVal;
      return true;
    default:
      return false;
  }
}

std::optional<Scalar> ParseNumber(BSTR text) {
  std::string narrow =
      vyn::WideToUtf8(text ? std::u16string_view(text, SysStringLen(text)) : std::u16string_view());
  std::size_t first = narrow.find_first_not_of(" \t");
  std::size_t last = narrow.find_last_not_of(" \t");
  if (first == std::string::npos)
    return std::nullopt;
  std::string trimmed = narrow.substr(first, last - first + 1);
  if (trimmed.front() == '+')
    trimmed.erase(0, 1);
  const char* begin = trimmed.data();
  const char* end = begin + trimmed.size();
  Scalar value{Scalar::kInteger};
  auto integer = std::from_chars(begin, end, value.integer);
  if (integer.ec == std::errc() && integer.ptr == end)
    return value;
  value.kind = Scalar::kReal;
  auto real = std::from_chars(begin, end, value.real);
  if ((real.ec == std::errc() || real.ec == std::errc::result_out_of_range) && real.ptr == end)
    return value;
  return std::nullopt;
}

bool EqualsIgnoringCase(BSTR text, std::u16string_view word) {
  std::u16string_view view = text ? std::u16string_view(text, SysStringLen(text)) : u"";
  if (view.size() != word.size())
    return false;
  for (std::size_t i = 0; i < view.size(); ++i) {
    char16_t a = view[i] >= u'A' && view[i] <= u'Z' ? view[i] + 32 : view[i];
    char16_t b = word[i] >= u'A' && word[i] <= u'Z' ? word[i] + 32 : word[i];
    if (a != b)
      return false;
  }
  return true;
}

// The source as a number; DISP_E_TYPEMISMATCH when it is none.
HRESULT ToScalar(const VARIANT& source, Scalar* value) {
  *value = Scalar{Scalar::kInteger};
  switch (source.vt) {
    case VT_EMPTY:
      return S_OK;
    case VT_I1:
      value->integer = source.cVal;
      return S_OK;
    case VT_UI1:
      value->integer = source.bVal;
      return S_OK;
    case VT_I2:
    case VT_BOOL:
      value->integer = source.iVal;
      return S_OK;
    case VT_UI2:
      value->integer = source.uiVal;
      return S_OK;
    case VT_I4:
    case VT_INT:
      value->integer = source.lVal;
      return S_OK;
    case VT_UI4:
    case VT_UINT:
      value->integer = source.ulVal;
      return S_OK;
    case VT_R4:
      *value = Scalar{Scalar::kReal, 0, source.fltVal};
      return S_OK;
    case VT_R8:
      *value = Scalar{Scalar::kReal, 0, source.dblVal};
      return S_OK;
    case VT_BSTR:
      if (EqualsIgnoringCase(source.bstrVal, u"true")) {
        value->integer = -1;
        return S_OK;
      }
      if (EqualsIgnoringCase(source.bstrVal, u"false"))
        return S_OK;
      if (auto parsed = ParseNumber(source.bstrVal)) {
        *value = *parsed;
        return S_OK;
      }
      return DISP_E_TYPEMISMATCH;
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

template <class T>
HRESULT Fit(const Scalar& value, T* out) {
  long double number = value.kind == Scalar::kInteger
                           ? static_cast<long double>(value.integer)
                           : std::nearbyint(static_cast<long double>(value.real));
  if (std::isnan(number) || number < static_cast<long double>(std::numeric_limits<T>::min()) ||
      number > static_cast<long double>(std::numeric_limits<T>::max()))
    return DISP_E_OVERFLOW;
  *out = static_cast<T>(number);
  return S_OK;
}

HRESULT ScalarTo(const Scalar& value, VARTYPE vt, VARIANT* result) {
  VariantInit(result);
  result->vt = vt;
  switch (vt) {
    case VT_I1:
      return Fit(value, &result->cVal);
    case VT_UI1:
      return Fit(value, &result->bVal);
    case VT_I2:
      return Fit(value, &result->iVal);
    case VT_UI2:
      return Fit(value, &result->uiVal);
    case VT_I4:
    case VT_INT:
      return Fit(value, &result->lVal);
    case VT_UI4:
    case VT_UINT:
      return Fit(value, &result->ulVal);
    case VT_R4: {
      double real =
          value.kind == Scalar::kInteger ? static_cast<double>(value.integer) : value.real;
      if (std::isfinite(real) && std::fabs(real) > std::numeric_limits<float>::max())
        return DISP_E_OVERFLOW;
      result->fltVal = static_cast<float>(real);
      return S_OK;
    }
    case VT_R8:
      result->dblVal =
          value.kind == Scalar::kInteger ? static_cast<double>(value.integer) : value.real;
      return S_OK;
    case VT_BOOL: {
      bool on = value.kind == Scalar::kInteger ? value.integer != 0 : value.real != 0;
      result->boolVal = on ? VARIANT_TRUE : VARIANT_FALSE;
      return S_OK;
    }
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

HRESULT ToText(const VARIANT& source, VARIANT* result) {
  std::string text;
  if (source.vt == VT_EMPTY) {
    text = "";
  } else if (source.vt == VT_BOOL) {
    text = source.boolVal ? "True" : "False";
  } else {
    Scalar value;
    if (HRESULT hr = ToScalar(source, &value); FAILED(hr))
      return hr;
    char buffer[64];
    if (value.kind == Scalar::kInteger)
      std::snprintf(buffer, sizeof buffer, "%lld", value.integer);
    else
      std::snprintf(buffer, sizeof buffer, "%.15g", value.real);
    text = buffer;
  }
  VariantInit(result);
  result->vt = VT_BSTR;
  result->bstrVal = vyn::Bstr(vyn::Utf8ToWide(text)).Detach();
  return result->bstrVal ? S_OK : E_OUTOFMEMORY;
}

HRESULT ToInterface(const VARIANT& source, VARTYPE vt, VARIANT* result) {
  if (source.vt != VT_DISPATCH && source.vt != VT_UNKNOWN)
    return DISP_E_TYPEMISMATCH;
  VariantInit(result);
  result->vt = vt;
  if (!source.punkVal)
    return S_OK;
  REFIID iid = vt == VT_DISPATCH ? IID_IDispatch : IID_IUnknown;
  if (FAILED(source.punkVal->QueryInterface(iid, reinterpret_cast<void**>(&result->punkVal)))) {
    VariantInit(result);
    return DISP_E_TYPEMISMATCH;
  }
  return S_OK;
}

}  // namespace

HRESULT VariantChangeType(VARIANT* dest, const VARIANT* source, USHORT, VARTYPE vt) {
  if (!dest || !source)
    return E_INVALIDARG;
  VARIANT plain;
  if (!ReadThrough(*source, &plain))
    return DISP_E_BADVARTYPE;
  VARIANT converted;
  VariantInit(&converted);
  HRESULT hr;
  if (plain.vt == vt) {
    hr = VariantCopy(&converted, &plain);
  } else if (plain.vt == VT_NULL) {
    hr = DISP_E_TYPEMISMATCH;
  } else if (vt == VT_BSTR) {
    hr = ToText(plain, &converted);
  } else if (vt == VT_DISPATCH || vt == VT_UNKNOWN) {
    hr = ToInterface(plain, vt, &converted);
  } else if (IsNumericTarget(vt)) {
    Scalar value;
    hr = ToScalar(plain, &value);
    if (SUCCEEDED(hr))
      hr = ScalarTo(value, vt, &converted);
  } else if (vt == VT_EMPTY) {
    hr = S_OK;
  } else {
    hr = DISP_E_TYPEMISMATCH;
  }
  if (FAILED(hr)) {
    VariantClear(&converted);
    return hr;
  }
  VariantClear(dest);
  *dest = converted;
  return S_OK;
}
