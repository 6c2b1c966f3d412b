// Windows: made from a registered class, owned by the creating thread,
// destroyed only by it. Creation delivers WM_NCCREATE and WM_CREATE (with
// the CREATESTRUCTW in lParam); destruction delivers WM_DESTROY and
// WM_NCDESTROY, then discards the messages still queued for the window and
// answers the sends still waiting for it with 0.
#pragma once

#include "platform/win/window_class.h"
#include "platform/win/window_types.h"

inline constexpr int GWLP_WNDPROC = -4;
inline constexpr int GWLP_HINSTANCE = -6;
inline constexpr int GWL_STYLE = -16;
inline constexpr int GWL_EXSTYLE = -20;
inline constexpr int GWLP_USERDATA = -21;

// Null with the last error set: ERROR_CANNOT_FIND_WND_CLASS for an unknown
// class, ERROR_INVALID_PARAMETER when WM_NCCREATE answers 0 or WM_CREATE
// answers -1 (the window is then destroyed again).
HWND CreateWindowExW(DWORD ex_style,
                     const WCHAR* class_name,
                     const WCHAR* title,
                     DWORD style,
                     int x,
                     int y,
                     int width,
                     int height,
                     HWND parent,
                     HMENU menu,
                     HINSTANCE instance,
                     void* param);
// FALSE with ERROR_INVALID_WINDOW_HANDLE for a window that is gone, and
// ERROR_ACCESS_DENIED on a thread other than the owner.
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
// The default handling: WM_NCCREATE answers TRUE, everything else 0.
LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
LONG_PTR GetWindowLongPtrW(HWND window, int index);
// Returns the previous value.
LONG_PTR SetWindowLongPtrW(HWND window, int index, LONG_PTR value);
int GetWindowTextW(HWND window, WCHAR* buffer, int buffer_chars);
BOOL SetWindowTextW(HWND window, const WCHAR* text);
// The owner thread's identifier (0 when the window is gone); the process
// identifier is the calling process's.
DWORD GetWindowThreadProcessId(HWND window, DWORD* process_id);
