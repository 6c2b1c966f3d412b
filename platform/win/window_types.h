// The vocabulary of windows and messages: opaque handle types, the message
// record, window procedures, message numbers and window style bits. The
// numbers are the desktop platform's, because callers compare them.
#pragma once

#include <cstdint>

#include "platform/win/types.h"

struct HWND__;
struct HINSTANCE__;
struct HMENU__;
struct HICON__;
struct HCURSOR__;
struct HBRUSH__;
using HWND = HWND__*;
using HINSTANCE = HINSTANCE__*;
using HMENU = HMENU__*;
using HICON = HICON__*;
using HCURSOR = HCURSOR__*;
using HBRUSH = HBRUSH__*;
using ATOM = WORD;
using UINT_PTR = std::uintptr_t;

using WNDPROC = LRESULT (*)(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
using TIMERPROC = void (*)(HWND window, UINT message, UINT_PTR timer_id, DWORD tick_count);

struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;  // GetTickCount() when the message was posted
};

// What WM_NCCREATE and WM_CREATE carry in lParam.
struct CREATESTRUCTW {
  void* lpCreateParams;
  HINSTANCE hInstance;
  HMENU hMenu;
  HWND hwndParent;
  int cy;
  int cx;
  int y;
  int x;
  LONG style;
  const WCHAR* lpszName;
  const WCHAR* lpszClass;
  DWORD dwExStyle;
};

inline constexpr UINT WM_NULL = 0x0000;
inline constexpr UINT WM_CREATE = 0x0001;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_QUIT = 0x0012;
inline constexpr UINT WM_NCCREATE = 0x0081;
inline constexpr UINT WM_NCDESTROY = 0x0082;
inline constexpr UINT WM_TIMER = 0x0113;
inline constexpr UINT WM_USER = 0x0400;
inline constexpr UINT WM_APP = 0x8000;

inline constexpr DWORD WS_OVERLAPPED = 0x00000000;
inline constexpr DWORD WS_POPUP = 0x80000000;
inline constexpr DWORD WS_CHILD = 0x40000000;
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr DWORD WS_DISABLED = 0x08000000;
inline constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
inline constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
inline constexpr DWORD WS_CAPTION = 0x00C00000;
inline constexpr DWORD WS_BORDER = 0x00800000;
inline constexpr DWORD WS_SYSMENU = 0x00080000;
inline constexpr DWORD WS_EX_TOPMOST = 0x00000008;
inline constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
inline constexpr DWORD WS_EX_NOACTIVATE = 0x08000000;
inline constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);

// A parent that makes a window message-only (accepted; every window here
// is message-only in effect).
inline HWND const HWND_MESSAGE = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-3));
