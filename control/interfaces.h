// The control's automation interfaces as C++ abstract classes: the C++ face
// of its type library. Every interface is dual (IDispatch first); member
// order is vtable order and hosts built against this header depend on it.
#pragma once

#include "platform/com/dispatch.h"

struct IDrive;
struct ITrack;
struct ICDDBRecord;

struct IDrive : IDispatch {
  using Base = IDispatch;
  static constexpr IID kIid = MakeGuid("4C97E0D1-62AB-4F18-9D05-B3F8127A6E9C");

 protected:
  ~IDrive() = default;
};

struct ITrack : IDispatch {
  using Base = IDispatch;
  static constexpr IID kIid = MakeGuid("38A6C1E2-F0B9-4D57-A14E-6D2905B8C73F");

 protected:
  ~ITrack() = default;
};

struct ICDDBRecord : IDispatch {
  using Base = IDispatch;
  static constexpr IID kIid = MakeGuid("B5F03A96-48D1-4C2E-97B6-E8C1504A3D72");

 protected:
  ~ICDDBRecord() = default;
};

// The three collections differ only in their element interface.
template <class Element>
struct ICollectionOf : IDispatch {
  using Base = IDispatch;
  using ElementInterface = Element;

  virtual HRESULT get__NewEnum(IUnknown** enumerator) = 0;   // dispid -4
  virtual HRESULT get_Item(LONG Index, Element** item) = 0;  // dispid 0
  virtual HRESULT get_Count(LONG* count) = 0;                // dispid 1

 protected:
  ~ICollectionOf() = default;
};

struct IDrivesCollection : ICollectionOf<IDrive> {
  using Base = IDispatch;
  static constexpr IID kIid = MakeGuid("0F6A2B95-D81C-4E47-A3B2-58C9E70D146B");

 protected:
  ~IDrivesCollection() = default;
};

struct ITracksCollection : ICollectionOf<ITrack> {
  using Base = IDispatch;
  static constexpr IID kIid = MakeGuid("92D0F5A7-1E4C-4B83-86A9-2C7B05E3D914");

 protected:
  ~ITracksCollection() = default;
};

struct ICDDBRecordsCollection : ICollectionOf<ICDDBRecord> {
  using Base = IDispatch;
  static constexpr IID kIid = MakeGuid("6E2B8D04-A7C3-4E91-B58F-1A40D96C27E5");

 protected:
  ~ICDDBRecordsCollection() = default;
};
