// Data transfer from an object (IDataObject): a host may ask an embedded
// object for a rendering of itself. Only the members a host on this
// platform calls are declared.
#pragma once

#include "platform/com/unknown.h"

struct FORMATETC {
  WORD cfFormat;
  void* ptd;
  DWORD dwAspect;
  LONG lindex;
  DWORD tymed;
};

struct STGMEDIUM {
  DWORD tymed;
  void* data;
  IUnknown* pUnkForRelease;
};

struct IDataObject : IUnknown {
  using Base = IUnknown;
  static constexpr IID kIid = MakeGuid("0000010E-0000-0000-C000-000000000046");

  virtual HRESULT GetData(FORMATETC* format, STGMEDIUM* medium) = 0;
  // S_OK when GetData would succeed for `format`, else DV_E_FORMATETC.
  virtual HRESULT QueryGetData(FORMATETC* format) = 0;

 protected:
  ~IDataObject() = default;
};
