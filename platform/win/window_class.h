// Window classes: a name, a window procedure and a few attributes that
// windows made from the class start with. Class names compare without
// regard to ASCII case.
//
// Thread-safe.
#pragma once

#include <optional>
#include <string>

#include "platform/win/window_types.h"

struct WNDCLASSW {
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  const WCHAR* lpszMenuName;
  const WCHAR* lpszClassName;
};

inline constexpr UINT CS_VREDRAW = 0x0001;
inline constexpr UINT CS_HREDRAW = 0x0002;
inline constexpr UINT CS_DBLCLKS = 0x0008;
inline constexpr int COLOR_WINDOW = 5;

// A class name may also be given as its atom, as a pointer value below
// 0x10000.
inline const WCHAR* MAKEINTATOM(ATOM atom) {
  return reinterpret_cast<const WCHAR*>(static_cast<std::uintptr_t>(atom));
}

// The class's atom; 0 with ERROR_CLASS_ALREADY_EXISTS when the name is
// taken, ERROR_INVALID_PARAMETER without a name or procedure.
ATOM RegisterClassW(const WNDCLASSW* window_class);
// FALSE with ERROR_CLASS_DOES_NOT_EXIST for an unknown class, and with
// ERROR_CLASS_HAS_WINDOWS while a window made from it exists.
BOOL UnregisterClassW(const WCHAR* class_name, HINSTANCE instance);

// Cursors are only tokens here: windows are never shown.
const WCHAR* const IDC_ARROW = reinterpret_cast<const WCHAR*>(static_cast<std::uintptr_t>(32512));
HCURSOR LoadCursorW(HINSTANCE instance, const WCHAR* name);

namespace vyn {

struct WindowClass {
  std::u16string name;
  WNDPROC proc;
  UINT style;
  ATOM atom;
};

// The registered class with that name or atom.
std::optional<WindowClass> FindWindowClass(const WCHAR* name_or_atom);

}  // namespace vyn
