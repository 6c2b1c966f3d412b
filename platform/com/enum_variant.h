// IEnumVARIANT: the enumerator a collection hands out through _NewEnum.
#pragma once

#include "platform/com/variant.h"

struct IEnumVARIANT : IUnknown {
  using Base = IUnknown;
  static constexpr IID kIid = MakeGuid("00020404-0000-0000-C000-000000000046");

  virtual HRESULT Next(ULONG count, VARIANT* variants, ULONG* fetched) = 0;
  virtual HRESULT Skip(ULONG count) = 0;
  virtual HRESULT Reset() = 0;
  virtual HRESULT Clone(IEnumVARIANT** out) = 0;

 protected:
  ~IEnumVARIANT() = default;
};

inline constexpr IID IID_IEnumVARIANT = IEnumVARIANT::kIid;
