// Automation error objects. Each thread has one current error object;
// SetErrorInfo replaces it and GetErrorInfo hands it over and clears it.
#pragma once

#include "platform/com/bstr.h"
#include "platform/com/com_ptr.h"

struct IErrorInfo : IUnknown {
  using Base = IUnknown;
  static constexpr IID kIid = MakeGuid("1CF2B120-547D-101B-8E65-08002B2BD119");

  virtual HRESULT GetGUID(GUID* guid) = 0;
  virtual HRESULT GetSource(BSTR* source) = 0;
  virtual HRESULT GetDescription(BSTR* description) = 0;
  virtual HRESULT GetHelpFile(BSTR* help_file) = 0;
  virtual HRESULT GetHelpContext(DWORD* help_context) = 0;

 protected:
  ~IErrorInfo() = default;
};

struct ICreateErrorInfo : IUnknown {
  using Base = IUnknown;
  static constexpr IID kIid = MakeGuid("22F03340-547D-101B-8E65-08002B2BD119");

  virtual HRESULT SetGUID(REFGUID guid) = 0;
  virtual HRESULT SetSource(const OLECHAR* source) = 0;
  virtual HRESULT SetDescription(const OLECHAR* description) = 0;
  virtual HRESULT SetHelpFile(const OLECHAR* help_file) = 0;
  virtual HRESULT SetHelpContext(DWORD help_context) = 0;

 protected:
  ~ICreateErrorInfo() = default;
};

struct ISupportErrorInfo : IUnknown {
  using Base = IUnknown;
  static constexpr IID kIid = MakeGuid("DF0B3D60-548F-101B-8E65-08002B2BD119");

  virtual HRESULT InterfaceSupportsErrorInfo(REFIID iid) = 0;

 protected:
  ~ISupportErrorInfo() = default;
};

// A new, empty error object.
HRESULT CreateErrorInfo(ICreateErrorInfo** out);
// Makes `info` (may be null) the calling thread's current error object.
HRESULT SetErrorInfo(ULONG reserved, IErrorInfo* info);
// Hands the current error object to the caller and clears it; S_FALSE and
// null when there is none.
HRESULT GetErrorInfo(ULONG reserved, IErrorInfo** out);

namespace vyn {
// Makes CreateErrorInfo fail with E_OUTOFMEMORY on the calling thread while
// set, so tests can reach the "error object cannot be created" path.
void SetCreateErrorInfoFailsForTesting(bool fails);
}  // namespace vyn
