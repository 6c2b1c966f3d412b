#include "control/dispatch_impl.h"

#include <cstring>
#include <vector>

#include "control/type_library.h"
#include "platform/com/error_info.h"
#include "platform/com/type_lookup.h"

namespace vyn {
namespace {

bool IsPut(WORD flags) {
  return flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
}

// The member that answers `id` for this kind of call.
const tlb::Member* FindCallable(const tlb::Type& type, DISPID id, WORD flags) {
  for (const tlb::Member& member : type.members) {
    if (member.id != id)
      continue;
    bool matches = IsPut(flags) ? member.kind == tlb::MemberKind::kPropertyPut
                                : (static_cast<WORD>(member.kind) & flags) != 0;
    if (matches)
      return &member;
  }
  return nullptr;
}

// Owns the coerced arguments of one call.
class Arguments {
 public:
  explicit Arguments(std::size_t count) : values_(count) {
    for (VARIANT& value : values_)
      VariantInit(&value);
  }
  Arguments(const Arguments&) = delete;
  Arguments& operator=(const Arguments&) = delete;
  ~Arguments() {
    for (VARIANT& value : values_)
      VariantClear(&value);
  }
  VARIANT* data() { return values_.data(); }
  VARIANT& operator[](std::size_t index) { return values_[index]; }

 private:
  std::vector<VARIANT> values_;
};

// An interface argument: queried for the parameter's own interface.
HRESULT CoerceInterface(const VARIANT& source, const tlb::Param& param, VARIANT* out) {
  VARIANT plain;
  VariantInit(&plain);
  if (FAILED(VariantChangeType(&plain, &source, 0, VT_UNKNOWN)))
    return DISP_E_TYPEMISMATCH;
  out->vt = param.type;
  out->punkVal = nullptr;
  HRESULT hr = S_OK;
  if (plain.punkVal) {
    if (FAILED(plain.punkVal->QueryInterface(param.iid, reinterpret_cast<void**>(&out->punkVal)))) {
      VariantInit(out);
      hr = DISP_E_TYPEMISMATCH;
    }
  }
  VariantClear(&plain);
  return hr;
}

HRESULT Coerce(const VARIANT& source, const tlb::Param& param, VARIANT* out) {
  if (param.iid != GUID_NULL && (param.type == VT_DISPATCH || param.type == VT_UNKNOWN))
    return CoerceInterface(source, param, out);
  HRESULT hr = VariantChangeType(out, &source, 0, param.type);
  if (FAILED(hr))
    return hr == DISP_E_OVERFLOW ? hr : DISP_E_TYPEMISMATCH;
  return S_OK;
}

// Moves the thread's error object, if any, into `exception`.
void FillException(HRESULT failure, EXCEPINFO* exception) {
  std::memset(exception, 0, sizeof *exception);
  exception->scode = failure;
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.Receive()) != S_OK || !info)
    return;
  info->GetSource(&exception->bstrSource);
  info->GetDescription(&exception->bstrDescription);
  info->GetHelpFile(&exception->bstrHelpFile);
  info->GetHelpContext(&exception->dwHelpContext);
}

}  // namespace

const tlb::Type* LibraryTypeOf(REFIID iid) {
  return FindLibraryType(iid);
}

HRESULT DispatchTypeInfoCount(UINT* count) {
  if (!count)
    return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT LibraryTypeInfo(REFGUID guid, ITypeInfo** info) {
  if (!info)
    return E_POINTER;
  *info = nullptr;
  ComPtr<ITypeLib> library;
  if (HRESULT hr = CreateTypeLibFromTable(VynTypeLibrary(), nullptr, library.Receive()); FAILED(hr))
    return hr;
  return library->GetTypeInfoOfGuid(guid, info);
}

HRESULT DispatchTypeInfo(const tlb::Type* type, UINT index, ITypeInfo** info) {
  if (!info)
    return E_POINTER;
  *info = nullptr;
  if (index != 0)
    return DISP_E_BADINDEX;
  if (!type)
    return E_UNEXPECTED;
  return LibraryTypeInfo(type->guid, info);
}

HRESULT DispatchGetIDsOfNames(const tlb::Type* type,
                              REFIID iid,
                              OLECHAR** names,
                              UINT count,
                              DISPID* ids) {
  if (iid != IID_NULL)
    return DISP_E_UNKNOWNINTERFACE;
  if (!type)
    return E_UNEXPECTED;
  return tlb::IdsOfNames(*type, names, count, ids);
}

HRESULT DispatchInvoke(const tlb::Type* type,
                       void* self,
                       DISPID id,
                       REFIID iid,
                       WORD flags,
                       DISPPARAMS* params,
                       VARIANT* result,
                       EXCEPINFO* exception,
                       UINT* arg_error) {
  if (iid != IID_NULL)
    return DISP_E_UNKNOWNINTERFACE;
  if (!type)
    return E_UNEXPECTED;
  if (!params || (params->cArgs && !params->rgvarg) ||
      (params->cNamedArgs && !params->rgdispidNamedArgs) || params->cNamedArgs > params->cArgs)
    return E_INVALIDARG;
  if (result)
    VariantInit(result);
  const tlb::Member* member = FindCallable(*type, id, flags);
  if (!member || !member->call)
    return DISP_E_MEMBERNOTFOUND;

  // The value of a put is named DISPID_PROPERTYPUT; nothing else is named.
  if (IsPut(flags)) {
    if (params->cNamedArgs == 0)
      return DISP_E_PARAMNOTOPTIONAL;
    if (params->cNamedArgs != 1 || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
      return DISP_E_NONAMEDARGS;
  } else if (params->cNamedArgs != 0) {
    return DISP_E_NONAMEDARGS;
  }

  std::size_t in_count = 0;
  for (const tlb::Param& param : member->params)
    in_count += (param.flags & tlb::kOut) ? 0 : 1;
  if (params->cArgs != in_count)
    return DISP_E_BADPARAMCOUNT;

  // Arguments arrive last first; a put's value, the last [in], is rgvarg[0].
  Arguments args(in_count);
  for (std::size_t i = 0; i < in_count; ++i) {
    UINT position = static_cast<UINT>(in_count - 1 - i);
    if (HRESULT hr = Coerce(params->rgvarg[position], member->params[i], &args[i]); FAILED(hr)) {
      if (arg_error)
        *arg_error = position;
      return hr;
    }
  }

  // A stale error object must not be taken for this call's.
  SetErrorInfo(0, nullptr);
  HRESULT hr = member->call(self, args.data(), result);
  if (SUCCEEDED(hr))
    return S_OK;
  if (!exception)
    return hr;
  FillException(hr, exception);
  return DISP_E_EXCEPTION;
}

}  // namespace vyn
