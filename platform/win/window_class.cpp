#include "platform/win/window_class.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/win/last_error.h"
#include "platform/win/window_object.h"

namespace vyn {
namespace {

constexpr ATOM kFirstAtom = 0xC000;

bool IsAtom(const WCHAR* name) {
  return reinterpret_cast<std::uintptr_t>(name) < 0x10000;
}

char16_t FoldAscii(char16_t c) {
  return (c >= u'A' && c <= u'Z') ? c - u'A' + u'a' : c;
}

bool SameName(std::u16string_view a, std::u16string_view b) {
  return std::ranges::equal(a, b,
                            [](char16_t x, char16_t y) { return FoldAscii(x) == FoldAscii(y); });
}

// Never destroyed: windows may be made while the process exits.
class ClassTable {
 public:
  ATOM Add(WindowClass window_class) {
    std::lock_guard lock(mutex_);
    if (FindLocked(window_class.name.c_str()))
      return 0;
    window_class.atom = next_atom_++;
    classes_.push_back(std::move(window_class));
    return classes_.back().atom;
  }
  bool Remove(const WCHAR* name) {
    std::lock_guard lock(mutex_);
    const WindowClass* found = FindLocked(name);
    if (!found)
      return false;
    classes_.erase(classes_.begin() + (found - classes_.data()));
    return true;
  }
  std::optional<WindowClass> Find(const WCHAR* name) {
    std::lock_guard lock(mutex_);
    const WindowClass* found = FindLocked(name);
    if (!found)
      return std::nullopt;
    return *found;
  }

 private:
  const WindowClass* FindLocked(const WCHAR* name) const {
    if (!name)
      return nullptr;
    for (const WindowClass& c : classes_) {
      if (IsAtom(name) ? c.atom == reinterpret_cast<std::uintptr_t>(name)
                       : SameName(c.name, name)) {
        return &c;
      }
    }
    return nullptr;
  }

  std::mutex mutex_;
  std::vector<WindowClass> classes_;  // guarded by mutex_
  ATOM next_atom_ = kFirstAtom;       // guarded by mutex_
};

ClassTable& Classes() {
  static auto* table = new ClassTable;
  return *table;
}

}  // namespace

std::optional<WindowClass> FindWindowClass(const WCHAR* name_or_atom) {
  return Classes().Find(name_or_atom);
}

}  // namespace vyn

ATOM RegisterClassW(const WNDCLASSW* window_class) {
  if (!window_class || !window_class->lpfnWndProc || !window_class->lpszClassName ||
      vyn::IsAtom(window_class->lpszClassName) || !*window_class->lpszClassName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  ATOM atom = vyn::Classes().Add(
      {window_class->lpszClassName, window_class->lpfnWndProc, window_class->style, 0});
  if (atom == 0)
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
  return atom;
}

BOOL UnregisterClassW(const WCHAR* class_name, HINSTANCE) {
  std::optional<vyn::WindowClass> found = vyn::Classes().Find(class_name);
  if (found && vyn::AnyWindowOfClass(found->name)) {
    SetLastError(ERROR_CLASS_HAS_WINDOWS);
    return FALSE;
  }
  if (!found || !vyn::Classes().Remove(class_name)) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  return TRUE;
}

HCURSOR LoadCursorW(HINSTANCE, const WCHAR* name) {
  return reinterpret_cast<HCURSOR>(const_cast<WCHAR*>(name));
}
