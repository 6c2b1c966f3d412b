// Result<T>: the value of an internal operation or the reason it failed.
// Internal code returns these; automation methods convert them to an
// HRESULT once, at the boundary.
#pragma once

#include <string>
#include <utility>
#include <variant>

#include "platform/com/hresult.h"

namespace vyn {

struct Error {
  HRESULT code = E_FAIL;
  std::string message;  // may be empty; for people, not for control flow
};

template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::move(value)) {}
  Result(Error error) : state_(std::move(error)) {}

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  T& value() & { return std::get<0>(state_); }
  const T& value() const& { return std::get<0>(state_); }
  T&& value() && { return std::get<0>(std::move(state_)); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  T& operator*() { return value(); }

  const Error& error() const { return std::get<1>(state_); }
  HRESULT code() const { return ok() ? S_OK : error().code; }

 private:
  std::variant<T, Error> state_;
};

template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Error error) : error_(std::move(error)), ok_(false) {}

  bool ok() const { return ok_; }
  explicit operator bool() const { return ok_; }
  const Error& error() const { return error_; }
  HRESULT code() const { return ok_ ? S_OK : error_.code; }

 private:
  Error error_;
  bool ok_ = true;
};

inline Result<void> Ok() {
  return {};
}

}  // namespace vyn
