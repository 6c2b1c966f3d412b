// Binds a type-library member description to the C++ member function it
// describes. Bind<I, &I::Member>(description) checks at compile time that
// the declared parameters match the function's signature (count, types,
// [in] before one trailing [out, retval]) and fills in the call that runs
// the function on an `I*` with arguments already coerced to those types.
//
// Types: LONG ↔ VT_I4, VARIANT_BOOL ↔ VT_BOOL, BSTR ↔ VT_BSTR, float ↔ VT_R4,
// double ↔ VT_R8, an interface pointer ↔ VT_DISPATCH (VT_UNKNOWN for
// IUnknown). An [in] interface argument arrives as the pointer the
// dispatcher obtained by querying for the parameter's IID; an [out, retval]
// is handed to the caller's result variant, which then owns it.
#pragma once

#include <array>
#include <span>
#include <tuple>
#include <type_traits>
#include <utility>

#include "platform/com/dispatch.h"
#include "platform/com/type_description.h"

namespace vyn::binding {

template <class T>
constexpr bool kIsInterfacePointer =
    std::is_pointer_v<T>&& std::is_base_of_v<IUnknown, std::remove_pointer_t<T>>;

// True for the one output a member may have: a pointer to a value type.
template <class T>
constexpr bool kIsOut = std::is_pointer_v<T> && !std::is_same_v<T, BSTR> && !kIsInterfacePointer<T>;

template <class T>
consteval VARTYPE TypeOf() {
  if constexpr (std::is_same_v<T, LONG>)
    return VT_I4;
  else if constexpr (std::is_same_v<T, VARIANT_BOOL>)
    return VT_BOOL;
  else if constexpr (std::is_same_v<T, BSTR>)
    return VT_BSTR;
  else if constexpr (std::is_same_v<T, float>)
    return VT_R4;
  else if constexpr (std::is_same_v<T, double>)
    return VT_R8;
  else if constexpr (std::is_same_v<T, IUnknown*>)
    return VT_UNKNOWN;
  else if constexpr (kIsInterfacePointer<T>)
    return VT_DISPATCH;
  else
    static_assert(!sizeof(T), "no automation type for this parameter");
}

template <class T>
T ReadArgument(const VARIANT& value) {
  if constexpr (std::is_same_v<T, LONG>)
    return value.lVal;
  else if constexpr (std::is_same_v<T, VARIANT_BOOL>)
    return value.boolVal;
  else if constexpr (std::is_same_v<T, BSTR>)
    return value.bstrVal;
  else if constexpr (std::is_same_v<T, float>)
    return value.fltVal;
  else if constexpr (std::is_same_v<T, double>)
    return value.dblVal;
  else
    return static_cast<T>(value.punkVal);  // queried for T's IID by the dispatcher
}

// Hands `value` to `result` (or frees it when the caller wants no result).
template <class T>
void StoreResult(T value, VARIANT* result) {
  VARIANT stored;
  VariantInit(&stored);
  stored.vt = TypeOf<T>();
  if constexpr (std::is_same_v<T, LONG>)
    stored.lVal = value;
  else if constexpr (std::is_same_v<T, VARIANT_BOOL>)
    stored.boolVal = value;
  else if constexpr (std::is_same_v<T, BSTR>)
    stored.bstrVal = value;
  else if constexpr (std::is_same_v<T, float>)
    stored.fltVal = value;
  else if constexpr (std::is_same_v<T, double>)
    stored.dblVal = value;
  else if constexpr (std::is_same_v<T, IUnknown*>)
    stored.punkVal = value;
  else
    stored.pdispVal = value;  // every interface of the library is dual
  if (result)
    *result = stored;
  else
    VariantClear(&stored);
}

template <class I, auto kMember>
struct Binder;

template <class I, class C, class... Args, HRESULT (C::*kMember)(Args...)>
struct Binder<I, kMember> {
  static_assert(std::is_base_of_v<C, I>);
  static constexpr std::size_t kCount = sizeof...(Args);
  static constexpr std::array<bool, kCount> kOut = {kIsOut<Args>...};
  static constexpr bool kHasRetval = kCount > 0 && kOut[kCount - 1];

  static consteval std::array<VARTYPE, kCount> Types() {
    return {TypeOf<std::conditional_t<kIsOut<Args>, std::remove_pointer_t<Args>, Args>>()...};
  }

  static consteval void Check(std::span<const tlb::Param> params) {
    if (params.size() != kCount)
      throw "the parameter list does not match the member's arity";
    constexpr auto types = Types();
    for (std::size_t i = 0; i < kCount; ++i) {
      if (params[i].type != types[i])
        throw "a parameter's type does not match the member's signature";
      bool declared_out = params[i].flags & tlb::kOut;
      if (declared_out != kOut[i] || (kOut[i] && i + 1 != kCount))
        throw "only the last parameter may be [out, retval], and it must be";
      if (types[i] == VT_DISPATCH && params[i].iid == GUID_NULL)
        throw "an interface parameter needs its IID";
    }
  }

  static HRESULT Call(void* self, VARIANT* args, VARIANT* result) {
    return CallWith(static_cast<I*>(self), args, result, std::make_index_sequence<kCount>());
  }

 private:
  template <std::size_t... kIndex>
  static HRESULT CallWith(I* object,
                          VARIANT* args,
                          VARIANT* result,
                          std::index_sequence<kIndex...>) {
    if constexpr (kHasRetval) {
      using Retval = std::remove_pointer_t<std::tuple_element_t<kCount - 1, std::tuple<Args...>>>;
      Retval value{};
      HRESULT hr = CallIns(object, args, &value, std::make_index_sequence<kCount - 1>());
      if (SUCCEEDED(hr))
        StoreResult(value, result);
      return hr;
    } else {
      return (object->*kMember)(
          ReadArgument<std::tuple_element_t<kIndex, std::tuple<Args...>>>(args[kIndex])...);
    }
  }

  template <class Retval, std::size_t... kIndex>
  static HRESULT CallIns(I* object, VARIANT* args, Retval* out, std::index_sequence<kIndex...>) {
    return (object->*kMember)(
        ReadArgument<std::tuple_element_t<kIndex, std::tuple<Args...>>>(args[kIndex])..., out);
  }
};

// The description with its call filled in; a mismatch fails to compile.
template <class I, auto kMember>
consteval tlb::Member Bind(tlb::Member member) {
  Binder<I, kMember>::Check(member.params);
  member.call = &Binder<I, kMember>::Call;
  return member;
}

}  // namespace vyn::binding
