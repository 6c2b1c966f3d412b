// Drawing an object: the host hands IViewObject::Draw a surface of its own
// and the bounds to draw in. Surfaces are 32-bit RGBA pixels (bytes R, G,
// B, A in memory order, straight alpha), rows `stride` bytes apart.
#pragma once

#include "platform/com/ole_object.h"

struct RGBASURFACE {
  BYTE* pixels;
  LONG width;
  LONG height;
  LONG stride;  // bytes from one row to the next
};

// How the object's view looks (IViewObjectEx::GetViewStatus).
inline constexpr DWORD VIEWSTATUS_OPAQUE = 1;
inline constexpr DWORD VIEWSTATUS_SOLIDBKGND = 2;

struct IViewObject : IUnknown {
  using Base = IUnknown;
  static constexpr IID kIid = MakeGuid("0000010D-0000-0000-C000-000000000046");

  virtual HRESULT Draw(DWORD aspect,
                       LONG index,
                       void* aspect_info,
                       RGBASURFACE* surface,
                       const RECTL* bounds) = 0;
  virtual HRESULT SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) = 0;
  virtual HRESULT GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) = 0;

 protected:
  ~IViewObject() = default;
};

struct IViewObject2 : IViewObject {
  using Base = IViewObject;
  static constexpr IID kIid = MakeGuid("00000127-0000-0000-C000-000000000046");

  // The extent in HIMETRIC.
  virtual HRESULT GetExtent(DWORD aspect, LONG index, void* target_device, SIZEL* size) = 0;

 protected:
  ~IViewObject2() = default;
};

struct IViewObjectEx : IViewObject2 {
  using Base = IViewObject2;
  static constexpr IID kIid = MakeGuid("3AF24292-0C96-11CE-A0CF-00AA00600AB8");

  virtual HRESULT GetViewStatus(DWORD* status) = 0;

 protected:
  ~IViewObjectEx() = default;
};
