#include "platform/com/bstr.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

namespace {
constexpr std::size_t kPrefix = sizeof(std::uint32_t);

std::uint32_t* PrefixOf(BSTR text) {
  return reinterpret_cast<std::uint32_t*>(reinterpret_cast<char*>(text) - kPrefix);
}
}  // namespace

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
  if (length > (std::numeric_limits<std::uint32_t>::max() - kPrefix - 2) / 2)
    return nullptr;
  std::size_t bytes = std::size_t{length} * sizeof(OLECHAR);
  auto* block = static_cast<char*>(std::malloc(kPrefix + bytes + sizeof(OLECHAR)));
  if (!block)
    return nullptr;
  std::uint32_t prefix = static_cast<std::uint32_t>(bytes);
  std::memcpy(block, &prefix, kPrefix);
  auto* chars = reinterpret_cast<OLECHAR*>(block + kPrefix);
  if (text)
    std::memcpy(chars, text, bytes);
  chars[length] = 0;
  return chars;
}

BSTR SysAllocString(const OLECHAR* text) {
  if (!text)
    return nullptr;
  return SysAllocStringLen(text, static_cast<UINT>(std::char_traits<char16_t>::length(text)));
}

void SysFreeString(BSTR text) {
  if (text)
    std::free(PrefixOf(text));
}

UINT SysStringByteLen(BSTR text) {
  return text ? *PrefixOf(text) : 0;
}

UINT SysStringLen(BSTR text) {
  return SysStringByteLen(text) / sizeof(OLECHAR);
}

namespace vyn {

Bstr::Bstr(std::u16string_view text)
    : text_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}

Bstr& Bstr::operator=(Bstr&& other) noexcept {
  if (this != &other) {
    SysFreeString(text_);
    text_ = other.Detach();
  }
  return *this;
}

Bstr Bstr::Adopt(BSTR text) {
  Bstr result;
  result.text_ = text;
  return result;
}

BSTR Bstr::Detach() {
  return std::exchange(text_, nullptr);
}

BSTR* Bstr::Receive() {
  SysFreeString(std::exchange(text_, nullptr));
  return &text_;
}

}  // namespace vyn
