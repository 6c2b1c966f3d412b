// Handles to kernel objects. A HANDLE is an opaque number that designates a
// reference-counted KernelObject in the process's handle table; each
// handle holds one reference until CloseHandle. A closed or made-up handle
// is detected, never dereferenced. Events and threads live behind handles
// today; other object kinds derive from KernelObject the same way.
//
// Thread-safe: handles may be made, used and closed from any thread.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>

#include "platform/win/types.h"

using HANDLE = void*;
inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));

// Drops the handle's reference to its object. FALSE with
// ERROR_INVALID_HANDLE for a handle that is not open.
BOOL CloseHandle(HANDLE handle);

namespace vyn {

// Base of every object a handle can designate. Kept alive by its handles
// and by any code that holds a shared_ptr while using it.
class KernelObject {
 public:
  virtual ~KernelObject() = default;

 protected:
  KernelObject() = default;
  KernelObject(const KernelObject&) = delete;
  KernelObject& operator=(const KernelObject&) = delete;
};

// A new handle for `object`.
HANDLE OpenHandle(std::shared_ptr<KernelObject> object);
// The object `handle` designates; null (with ERROR_INVALID_HANDLE set) when
// the handle is not open.
std::shared_ptr<KernelObject> ObjectFromHandle(HANDLE handle);

template <class T>
std::shared_ptr<T> ObjectFromHandleAs(HANDLE handle) {
  return std::dynamic_pointer_cast<T>(ObjectFromHandle(handle));
}

// Owns one handle and closes it when it goes. Move-only.
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    Reset(other.Release());
    return *this;
  }
  ~UniqueHandle() { Reset(); }

  HANDLE Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Release() { return std::exchange(handle_, nullptr); }
  void Reset(HANDLE handle = nullptr);

 private:
  HANDLE handle_ = nullptr;
};

}  // namespace vyn
