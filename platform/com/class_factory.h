// IClassFactory: what an in-process server hands out for each class it can
// create, and the entry points such a server module exports.
#pragma once

#include "platform/com/unknown.h"

struct IClassFactory : IUnknown {
  using Base = IUnknown;
  static constexpr IID kIid = MakeGuid("00000001-0000-0000-C000-000000000046");

  // `outer` non-null asks for aggregation.
  virtual HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) = 0;
  // TRUE keeps the server loaded until a matching FALSE.
  virtual HRESULT LockServer(BOOL lock) = 0;

 protected:
  ~IClassFactory() = default;
};

inline constexpr IID IID_IClassFactory = IClassFactory::kIid;

// The exports of an in-process server module, by name.
using DllGetClassObjectFunction = HRESULT (*)(REFCLSID clsid, REFIID iid, void** object);
using DllCanUnloadNowFunction = HRESULT (*)();
using DllRegisterServerFunction = HRESULT (*)();
using DllUnregisterServerFunction = HRESULT (*)();
