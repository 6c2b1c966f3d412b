// ComObject<Derived, I1, I2, ...> implements IUnknown once for an object
// class: an atomic reference count and a QueryInterface that answers every
// listed interface and the interfaces they derive from. A class may answer
// more (say, an interface it exposes through a member) by defining
//   void* QueryExtraInterface(REFIID iid);
// Objects are made by Create() and destroy themselves on the last Release,
// so derived classes keep their destructors protected.
//
// Thread-safe: AddRef/Release may be called from any thread.
#pragma once

#include <atomic>
#include <new>
#include <utility>

#include "platform/com/com_ptr.h"

namespace vyn {

// How many ComObjects exist in the process; tests compare it before and
// after to find leaks.
long LiveComObjectCount();
void CountComObject(int delta);

template <class Derived, class First, class... Rest>
class ComObject : public First, public Rest... {
 public:
  // Makes the object; null when memory runs out.
  template <class... Args>
  static ComPtr<Derived> Create(Args&&... args) {
    return ComPtr<Derived>::Adopt(new (std::nothrow) Derived(std::forward<Args>(args)...));
  }

  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (!object)
      return E_POINTER;
    *object = Find(iid);
    if (!*object)
      return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return ++references_; }
  ULONG Release() override {
    ULONG left = --references_;
    if (left == 0)
      delete this;
    return left;
  }

  IUnknown* AsUnknown() { return static_cast<First*>(this); }

 protected:
  ComObject() : references_(1) { CountComObject(+1); }
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;
  virtual ~ComObject() { CountComObject(-1); }

  // Default: nothing beyond the listed interfaces.
  void* QueryExtraInterface(REFIID) { return nullptr; }

 private:
  void* Find(REFIID iid) {
    if (iid == IUnknown::kIid)
      return static_cast<First*>(this);
    void* found = nullptr;
    auto try_one = [&]<class I>(I* self) {
      if (!found && InterfaceAnswers<I>(iid))
        found = self;
    };
    try_one(static_cast<First*>(this));
    (try_one(static_cast<Rest*>(this)), ...);
    if (!found)
      found = static_cast<Derived*>(this)->QueryExtraInterface(iid);
    return found;
  }

  std::atomic<ULONG> references_;
};

}  // namespace vyn

using vyn::ComObject;
