#include "platform/text/windows_1252.h"

#include <algorithm>

namespace vyn::text {
namespace {

struct ReverseEntry {
  char16_t unit;
  unsigned char byte;
};

// kWindows1252High inverted and sorted by unit, built at compile time so the
// two directions cannot disagree.
constexpr std::array<ReverseEntry, 32> BuildReverse() {
  std::array<ReverseEntry, 32> table{};
  for (std::size_t i = 0; i < table.size(); ++i)
    table[i] = {kWindows1252High[i], static_cast<unsigned char>(0x80 + i)};
  std::sort(table.begin(), table.end(),
            [](const ReverseEntry& a, const ReverseEntry& b) { return a.unit < b.unit; });
  return table;
}

constexpr std::array<ReverseEntry, 32> kReverse = BuildReverse();

}  // namespace

int Windows1252FromUnicode(char16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF))
    return unit;
  const auto* entry =
      std::lower_bound(kReverse.begin(), kReverse.end(), unit,
                       [](const ReverseEntry& e, char16_t u) { return e.unit < u; });
  return entry != kReverse.end() && entry->unit == unit ? entry->byte : -1;
}

Transcoded Windows1252ToUtf16(std::string_view src, char16_t* dst, std::size_t capacity) {
  if (!dst)
    return {Transcoded::Status::kOk, src.size(), false};
  if (capacity < src.size())
    return {Transcoded::Status::kOverflow, 0, false};
  std::transform(src.begin(), src.end(), dst,
                 [](char c) { return Windows1252ToUnicode(static_cast<unsigned char>(c)); });
  return {Transcoded::Status::kOk, src.size(), false};
}

Transcoded Utf16ToWindows1252(std::u16string_view src,
                              char* dst,
                              std::size_t capacity,
                              char defaultChar) {
  Transcoded result{Transcoded::Status::kOk, src.size(), false};
  if (dst && capacity < src.size()) {
    result.status = Transcoded::Status::kOverflow;
    result.length = 0;
    return result;
  }
  for (std::size_t i = 0; i < src.size(); ++i) {
    const int byte = Windows1252FromUnicode(src[i]);
    if (byte < 0)
      result.replaced = true;
    if (dst)
      dst[i] = byte < 0 ? defaultChar : static_cast<char>(byte);
  }
  return result;
}

}  // namespace vyn::text
