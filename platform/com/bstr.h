// BSTR: a UTF-16 string with a 32-bit byte-length prefix in front of the
// characters and a terminating zero after them. The pointer designates the
// first character. A null BSTR reads as the empty string everywhere.
#pragma once

#include <string>
#include <string_view>

#include "platform/win/types.h"

using BSTR = OLECHAR*;

BSTR SysAllocString(const OLECHAR* text);
// Copies `length` characters (zeros included); null text gives `length`
// uninitialised characters, still terminated.
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);
UINT SysStringByteLen(BSTR text);

namespace vyn {

// Owns one BSTR. Move-only.
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(std::u16string_view text);
  Bstr(Bstr&& other) noexcept : text_(other.Detach()) {}
  Bstr& operator=(Bstr&& other) noexcept;
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { SysFreeString(text_); }

  // Takes ownership of a BSTR the caller owns.
  static Bstr Adopt(BSTR text);
  [[nodiscard]] BSTR Detach();
  BSTR Get() const { return text_; }
  // Frees what is held and gives the address for a callee to fill.
  BSTR* Receive();

  std::u16string_view View() const { return {text_ ? text_ : u"", SysStringLen(text_)}; }
  std::u16string Str() const { return std::u16string(View()); }
  bool IsNull() const { return text_ == nullptr; }

 private:
  BSTR text_ = nullptr;
};

}  // namespace vyn
