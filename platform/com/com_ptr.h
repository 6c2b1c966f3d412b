// ComPtr<T> owns one reference to an interface. Copying adds a reference,
// destruction releases it. Not thread-safe itself; the object it points to
// decides that.
#pragma once

#include <cstddef>
#include <utility>

#include "platform/com/unknown.h"

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}
  // Takes a new reference to `pointer`.
  explicit ComPtr(T* pointer) : pointer_(pointer) {
    if (pointer_)
      pointer_->AddRef();
  }
  ComPtr(const ComPtr& other) : ComPtr(other.pointer_) {}
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  template <class U>
  ComPtr(const ComPtr<U>& other) : ComPtr(static_cast<T*>(other.Get())) {}
  template <class U>
  ComPtr(ComPtr<U>&& other) noexcept : pointer_(other.Detach()) {}
  ~ComPtr() { Reset(); }

  ComPtr& operator=(const ComPtr& other) {
    ComPtr(other).Swap(*this);
    return *this;
  }
  ComPtr& operator=(ComPtr&& other) noexcept {
    ComPtr(std::move(other)).Swap(*this);
    return *this;
  }
  ComPtr& operator=(std::nullptr_t) {
    Reset();
    return *this;
  }

  // Takes over a reference the caller already owns (no AddRef).
  static ComPtr Adopt(T* pointer) {
    ComPtr result;
    result.pointer_ = pointer;
    return result;
  }
  // Gives up the reference without releasing it; the caller now owns it.
  [[nodiscard]] T* Detach() { return std::exchange(pointer_, nullptr); }

  void Reset() {
    if (T* old = std::exchange(pointer_, nullptr))
      old->Release();
  }
  void Swap(ComPtr& other) noexcept { std::swap(pointer_, other.pointer_); }

  T* Get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  T& operator*() const { return *pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }

  // Out-parameter adapters: release what is held, then let a callee store
  // a reference it has already added.
  T** Receive() {
    Reset();
    return &pointer_;
  }
  void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }

  // Queries for another interface; the result is null when it is not answered.
  template <class U>
  ComPtr<U> As() const {
    ComPtr<U> result;
    if (pointer_)
      pointer_->QueryInterface(U::kIid, result.ReceiveVoid());
    return result;
  }
  template <class U>
  HRESULT QueryInterface(ComPtr<U>* out) const {
    if (!pointer_)
      return E_POINTER;
    return pointer_->QueryInterface(U::kIid, out->ReceiveVoid());
  }

  // Hands a new reference to a caller's out parameter (the usual return path
  // of a getter): `return ptr.CopyTo(out);`
  template <class U>
  HRESULT CopyTo(U** out) const {
    if (!out)
      return E_POINTER;
    *out = pointer_;
    if (pointer_)
      pointer_->AddRef();
    return S_OK;
  }

  friend bool operator==(const ComPtr& a, const ComPtr& b) { return a.pointer_ == b.pointer_; }
  friend bool operator==(const ComPtr& a, std::nullptr_t) { return a.pointer_ == nullptr; }

 private:
  T* pointer_ = nullptr;
};
