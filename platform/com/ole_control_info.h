// What a control tells its host about itself in one go: its class
// information (IProvideClassInfo2), its property pages
// (ISpecifyPropertyPages), and the quick activation handshake
// (IQuickActivate) that sets up the client site and the event sink.
#pragma once

#include "platform/com/dispatch.h"
#include "platform/com/ole_object.h"

struct IProvideClassInfo : IUnknown {
  using Base = IUnknown;
  static constexpr IID kIid = MakeGuid("B196B283-BAB4-101A-B69C-00AA00341D07");

  virtual HRESULT GetClassInfo(ITypeInfo** info) = 0;

 protected:
  ~IProvideClassInfo() = default;
};

inline constexpr DWORD GUIDKIND_DEFAULT_SOURCE_DISP_IID = 1;

struct IProvideClassInfo2 : IProvideClassInfo {
  using Base = IProvideClassInfo;
  static constexpr IID kIid = MakeGuid("A6BC3AC0-DBAA-11CE-9DE3-00AA004BB851");

  // GUIDKIND_DEFAULT_SOURCE_DISP_IID: the default event interface.
  virtual HRESULT GetGUID(DWORD kind, GUID* guid) = 0;

 protected:
  ~IProvideClassInfo2() = default;
};

// A counted array of GUIDs from CoTaskMemAlloc (null when empty).
struct CAUUID {
  ULONG cElems;
  GUID* pElems;
};

struct ISpecifyPropertyPages : IUnknown {
  using Base = IUnknown;
  static constexpr IID kIid = MakeGuid("B196B28B-BAB4-101A-B69C-00AA00341D07");

  virtual HRESULT GetPages(CAUUID* pages) = 0;

 protected:
  ~ISpecifyPropertyPages() = default;
};

// The host's side of quick activation. The control keeps the site and
// connects the event sink to its default event source.
struct QACONTAINER {
  ULONG cbSize;
  IOleClientSite* pClientSite;
  IUnknown* pUnkEventSink;
};

// The control's answers.
struct QACONTROL {
  ULONG cbSize;
  DWORD dwMiscStatus;
  DWORD dwViewStatus;
  DWORD dwEventCookie;
};

struct IQuickActivate : IUnknown {
  using Base = IUnknown;
  static constexpr IID kIid = MakeGuid("CF51ED10-62FE-11CF-BF86-00A0C9034836");

  virtual HRESULT QuickActivate(QACONTAINER* container, QACONTROL* control) = 0;
  virtual HRESULT SetContentExtent(SIZEL* size) = 0;
  virtual HRESULT GetContentExtent(SIZEL* size) = 0;

 protected:
  ~IQuickActivate() = default;
};
