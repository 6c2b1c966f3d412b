// In-place activation: the host activates the control inside its own
// window or, for a windowless control, forwards window messages to it.
// Only the members a host on this platform calls are declared.
#pragma once

#include "platform/com/ole_object.h"

struct RECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
};

struct IOleWindow : IUnknown {
  using Base = IUnknown;
  static constexpr IID kIid = MakeGuid("00000114-0000-0000-C000-000000000046");

  virtual HRESULT GetWindow(HWND* window) = 0;
  virtual HRESULT ContextSensitiveHelp(BOOL enter) = 0;

 protected:
  ~IOleWindow() = default;
};

struct IOleInPlaceObject : IOleWindow {
  using Base = IOleWindow;
  static constexpr IID kIid = MakeGuid("00000113-0000-0000-C000-000000000046");

  virtual HRESULT InPlaceDeactivate() = 0;
  virtual HRESULT UIDeactivate() = 0;
  virtual HRESULT SetObjectRects(const RECT* position, const RECT* clip) = 0;
  virtual HRESULT ReactivateAndUndo() = 0;

 protected:
  ~IOleInPlaceObject() = default;
};

struct IOleInPlaceObjectWindowless : IOleInPlaceObject {
  using Base = IOleInPlaceObject;
  static constexpr IID kIid = MakeGuid("1C2056CC-5EF4-101B-8BC8-00AA003E3B29");

  // S_FALSE when the control did not handle the message.
  virtual HRESULT OnWindowMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) = 0;

 protected:
  ~IOleInPlaceObjectWindowless() = default;
};

struct IOleInPlaceActiveObject : IOleWindow {
  using Base = IOleWindow;
  static constexpr IID kIid = MakeGuid("00000117-0000-0000-C000-000000000046");

  // S_FALSE when the message is not one of the control's accelerators.
  virtual HRESULT TranslateAccelerator(MSG* message) = 0;
  virtual HRESULT OnFrameWindowActivate(BOOL activate) = 0;
  virtual HRESULT OnDocWindowActivate(BOOL activate) = 0;
  virtual HRESULT EnableModeless(BOOL enable) = 0;

 protected:
  ~IOleInPlaceActiveObject() = default;
};
