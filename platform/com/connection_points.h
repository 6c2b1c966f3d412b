// Connection points: an object's outgoing interfaces. A host finds the
// connection point for an event interface in the object's container and
// subscribes a sink with Advise, which returns a cookie for Unadvise.
#pragma once

#include "platform/com/unknown.h"

struct IConnectionPointContainer;

struct CONNECTDATA {
  IUnknown* pUnk;
  DWORD dwCookie;
};

struct IEnumConnections : IUnknown {
  using Base = IUnknown;
  static constexpr IID kIid = MakeGuid("B196B287-BAB4-101A-B69C-00AA00341D07");

  // Each CONNECTDATA delivered holds a reference the caller releases.
  virtual HRESULT Next(ULONG count, CONNECTDATA* connections, ULONG* fetched) = 0;
  virtual HRESULT Skip(ULONG count) = 0;
  virtual HRESULT Reset() = 0;
  virtual HRESULT Clone(IEnumConnections** out) = 0;

 protected:
  ~IEnumConnections() = default;
};

struct IConnectionPoint : IUnknown {
  using Base = IUnknown;
  static constexpr IID kIid = MakeGuid("B196B286-BAB4-101A-B69C-00AA00341D07");

  virtual HRESULT GetConnectionInterface(IID* iid) = 0;
  virtual HRESULT GetConnectionPointContainer(IConnectionPointContainer** container) = 0;
  // CONNECT_E_CANNOTCONNECT when the sink does not answer the interface.
  virtual HRESULT Advise(IUnknown* sink, DWORD* cookie) = 0;
  // CONNECT_E_NOCONNECTION for an unknown cookie.
  virtual HRESULT Unadvise(DWORD cookie) = 0;
  virtual HRESULT EnumConnections(IEnumConnections** out) = 0;

 protected:
  ~IConnectionPoint() = default;
};

struct IEnumConnectionPoints : IUnknown {
  using Base = IUnknown;
  static constexpr IID kIid = MakeGuid("B196B285-BAB4-101A-B69C-00AA00341D07");

  virtual HRESULT Next(ULONG count, IConnectionPoint** points, ULONG* fetched) = 0;
  virtual HRESULT Skip(ULONG count) = 0;
  virtual HRESULT Reset() = 0;
  virtual HRESULT Clone(IEnumConnectionPoints** out) = 0;

 protected:
  ~IEnumConnectionPoints() = default;
};

struct IConnectionPointContainer : IUnknown {
  using Base = IUnknown;
  static constexpr IID kIid = MakeGuid("B196B284-BAB4-101A-B69C-00AA00341D07");

  virtual HRESULT EnumConnectionPoints(IEnumConnectionPoints** out) = 0;
  // CONNECT_E_NOCONNECTION when there is no point for `iid`.
  virtual HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** point) = 0;

 protected:
  ~IConnectionPointContainer() = default;
};
