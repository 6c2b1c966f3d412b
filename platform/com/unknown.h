// IUnknown, the root of every interface. Interfaces are abstract classes
// with the vtable first; each declares its IID as kIid and its parent
// interface as Base, which QueryInterface implementations walk.
#pragma once

#include <type_traits>

#include "platform/com/guid.h"
#include "platform/com/hresult.h"

struct IUnknown {
  static constexpr IID kIid = MakeGuid("00000000-0000-0000-C000-000000000046");

  virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  ~IUnknown() = default;
};

inline constexpr IID IID_IUnknown = IUnknown::kIid;

namespace vyn {

// True when `iid` names interface I or one of the interfaces it derives from.
template <class I>
constexpr bool InterfaceAnswers(REFIID iid) {
  if (iid == I::kIid)
    return true;
  if constexpr (std::is_same_v<I, IUnknown>) {
    return false;
  } else {
    return InterfaceAnswers<typename I::Base>(iid);
  }
}

}  // namespace vyn
