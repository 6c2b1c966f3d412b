// Embedding a control in a host: the host gives the object its client site,
// asks for its extent and misc status and tells it to run verbs
// (IOleObject), and tells it about ambient changes (IOleControl). Only the
// members a host on this platform calls are declared.
#pragma once

#include "platform/com/unknown.h"
#include "platform/win/window_types.h"

struct SIZEL {
  LONG cx;
  LONG cy;
};

struct RECTL {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
};

// Aspects of a drawing; controls draw their content.
inline constexpr DWORD DVASPECT_CONTENT = 1;

// Verbs a host runs through DoVerb.
inline constexpr LONG OLEIVERB_PRIMARY = 0;
inline constexpr LONG OLEIVERB_SHOW = -1;
inline constexpr LONG OLEIVERB_HIDE = -3;
inline constexpr LONG OLEIVERB_UIACTIVATE = -4;
inline constexpr LONG OLEIVERB_INPLACEACTIVATE = -5;

// What the host offers the control; the control keeps one reference.
struct IOleClientSite : IUnknown {
  using Base = IUnknown;
  static constexpr IID kIid = MakeGuid("00000118-0000-0000-C000-000000000046");

 protected:
  ~IOleClientSite() = default;
};

// Told when the object's view changes.
struct IAdviseSink : IUnknown {
  using Base = IUnknown;
  static constexpr IID kIid = MakeGuid("0000010F-0000-0000-C000-000000000046");

 protected:
  ~IAdviseSink() = default;
};

struct IOleObject : IUnknown {
  using Base = IUnknown;
  static constexpr IID kIid = MakeGuid("00000112-0000-0000-C000-000000000046");

  virtual HRESULT SetClientSite(IOleClientSite* site) = 0;
  virtual HRESULT GetClientSite(IOleClientSite** site) = 0;
  virtual HRESULT SetHostNames(const OLECHAR* container_app, const OLECHAR* container_object) = 0;
  virtual HRESULT Close(DWORD save_option) = 0;
  virtual HRESULT DoVerb(LONG verb, IOleClientSite* site, HWND parent) = 0;
  virtual HRESULT GetUserClassID(CLSID* clsid) = 0;
  // Extents in HIMETRIC (0.01 mm).
  virtual HRESULT SetExtent(DWORD aspect, SIZEL* size) = 0;
  virtual HRESULT GetExtent(DWORD aspect, SIZEL* size) = 0;
  virtual HRESULT Advise(IAdviseSink* sink, DWORD* cookie) = 0;
  virtual HRESULT Unadvise(DWORD cookie) = 0;
  virtual HRESULT GetMiscStatus(DWORD aspect, DWORD* status) = 0;

 protected:
  ~IOleObject() = default;
};

struct CONTROLINFO {
  ULONG cb;
  void* hAccel;
  USHORT cAccel;
  DWORD dwFlags;
};

struct IOleControl : IUnknown {
  using Base = IUnknown;
  static constexpr IID kIid = MakeGuid("B196B288-BAB4-101A-B69C-00AA00341D07");

  virtual HRESULT GetControlInfo(CONTROLINFO* info) = 0;
  virtual HRESULT OnMnemonic(MSG* message) = 0;
  virtual HRESULT OnAmbientPropertyChange(DISPID dispid) = 0;
  virtual HRESULT FreezeEvents(BOOL freeze) = 0;

 protected:
  ~IOleControl() = default;
};
