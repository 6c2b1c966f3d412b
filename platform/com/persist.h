// Persistence interfaces: an object saves its state into a stream
// (IPersistStreamInit) or a storage (IPersistStorage) and loads it back.
#pragma once

#include "platform/com/stream.h"

struct IPersist : IUnknown {
  using Base = IUnknown;
  static constexpr IID kIid = MakeGuid("0000010C-0000-0000-C000-000000000046");

  virtual HRESULT GetClassID(CLSID* clsid) = 0;

 protected:
  ~IPersist() = default;
};

struct IPersistStreamInit : IPersist {
  using Base = IPersist;
  static constexpr IID kIid = MakeGuid("7FD52380-4E07-101B-AE2D-08002B2EC713");

  // S_OK when the object changed since it was last saved, else S_FALSE.
  virtual HRESULT IsDirty() = 0;
  virtual HRESULT Load(IStream* stream) = 0;
  virtual HRESULT Save(IStream* stream, BOOL clear_dirty) = 0;
  virtual HRESULT GetSizeMax(ULARGE_INTEGER* size) = 0;
  virtual HRESULT InitNew() = 0;

 protected:
  ~IPersistStreamInit() = default;
};

struct IPersistStorage : IPersist {
  using Base = IPersist;
  static constexpr IID kIid = MakeGuid("0000010A-0000-0000-C000-000000000046");

  virtual HRESULT IsDirty() = 0;
  virtual HRESULT InitNew(IStorage* storage) = 0;
  virtual HRESULT Load(IStorage* storage) = 0;
  virtual HRESULT Save(IStorage* storage, BOOL same_as_load) = 0;
  virtual HRESULT SaveCompleted(IStorage* storage) = 0;
  virtual HRESULT HandsOffStorage() = 0;

 protected:
  ~IPersistStorage() = default;
};
