#include "platform/com/error_info.h"

#include "platform/com/com_object.h"

namespace {

// One error object; written once by its creator, then read. Thread-safe
// only in that sense, as its users need.
class ErrorInfo final : public ComObject<ErrorInfo, IErrorInfo, ICreateErrorInfo> {
 public:
  HRESULT GetGUID(GUID* guid) override {
    if (!guid)
      return E_POINTER;
    *guid = guid_;
    return S_OK;
  }
  HRESULT GetSource(BSTR* out) override { return Copy(source_, out); }
  HRESULT GetDescription(BSTR* out) override { return Copy(description_, out); }
  HRESULT GetHelpFile(BSTR* out) override { return Copy(help_file_, out); }
  HRESULT GetHelpContext(DWORD* out) override {
    if (!out)
      return E_POINTER;
    *out = help_context_;
    return S_OK;
  }

  HRESULT SetGUID(REFGUID guid) override {
    guid_ = guid;
    return S_OK;
  }
  HRESULT SetSource(const OLECHAR* text) override { return Store(text, &source_); }
  HRESULT SetDescription(const OLECHAR* text) override { return Store(text, &description_); }
  HRESULT SetHelpFile(const OLECHAR* text) override { return Store(text, &help_file_); }
  HRESULT SetHelpContext(DWORD context) override {
    help_context_ = context;
    return S_OK;
  }

 protected:
  ~ErrorInfo() override = default;

 private:
  static HRESULT Copy(const vyn::Bstr& from, BSTR* out) {
    if (!out)
      return E_POINTER;
    *out = nullptr;
    if (from.IsNull())
      return S_OK;
    *out = vyn::Bstr(from.View()).Detach();
    return *out ? S_OK : E_OUTOFMEMORY;
  }
  static HRESULT Store(const OLECHAR* text, vyn::Bstr* field) {
    *field = vyn::Bstr::Adopt(SysAllocString(text));
    return (text && field->IsNull()) ? E_OUTOFMEMORY : S_OK;
  }

  GUID guid_{};
  vyn::Bstr source_;
  vyn::Bstr description_;
  vyn::Bstr help_file_;
  DWORD help_context_ = 0;
};

thread_local ComPtr<IErrorInfo> t_current_error;
thread_local bool t_create_fails = false;

}  // namespace

HRESULT CreateErrorInfo(ICreateErrorInfo** out) {
  if (!out)
    return E_POINTER;
  *out = nullptr;
  if (t_create_fails)
    return E_OUTOFMEMORY;
  ComPtr<ErrorInfo> info = ErrorInfo::Create();
  if (!info)
    return E_OUTOFMEMORY;
  *out = info.Detach();
  return S_OK;
}

HRESULT SetErrorInfo(ULONG, IErrorInfo* info) {
  t_current_error = ComPtr<IErrorInfo>(info);
  return S_OK;
}

HRESULT GetErrorInfo(ULONG, IErrorInfo** out) {
  if (!out)
    return E_POINTER;
  *out = t_current_error.Detach();
  return *out ? S_OK : S_FALSE;
}

namespace vyn {
void SetCreateErrorInfoFailsForTesting(bool fails) {
  t_create_fails = fails;
}
}  // namespace vyn
