#include "platform/text/utf8.h"

#include <cstdint>

namespace vyn::text {
namespace {

bool IsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}
bool IsSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDFFF;
}

bool PutCodePoint(Output<char16_t>& out, std::uint32_t cp) {
  if (cp < 0x10000)
    return out.Put(static_cast<char16_t>(cp));
  cp -= 0x10000;
  return out.Put(static_cast<char16_t>(0xD800 + (cp >> 10))) &&
         out.Put(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
}

bool PutCodePoint(Output<char>& out, std::uint32_t cp) {
  auto put = [&out](std::uint32_t byte) { return out.Put(static_cast<char>(byte)); };
  if (cp < 0x80)
    return put(cp);
  if (cp < 0x800)
    return put(0xC0 | (cp >> 6)) && put(0x80 | (cp & 0x3F));
  if (cp < 0x10000)
    return put(0xE0 | (cp >> 12)) && put(0x80 | ((cp >> 6) & 0x3F)) && put(0x80 | (cp & 0x3F));
  return put(0xF0 | (cp >> 18)) && put(0x80 | ((cp >> 12) & 0x3F)) &&
         put(0x80 | ((cp >> 6) & 0x3F)) && put(0x80 | (cp & 0x3F));
}

template <class Unit>
Transcoded Finish(const Output<Unit>& out, Transcoded::Status status, bool replaced) {
  return {status, out.length(), replaced};
}

}  // namespace

Transcoded Utf8ToUtf16(std::string_view src,
                       char16_t* dst,
                       std::size_t capacity,
                       OnInvalid onInvalid) {
  Output<char16_t> out(dst, capacity);
  bool replaced = false;
  const std::size_t n = src.size();
  std::size_t i = 0;
  while (i < n) {
    const auto lead = static_cast<unsigned char>(src[i]);
    if (lead < 0x80) {
      if (!out.Put(lead))
        return Finish(out, Transcoded::Status::kOverflow, replaced);
      ++i;
      continue;
    }
    // The lead byte fixes the length and the range of the first trailing
    // byte; the narrowed ranges exclude overlong forms, surrogates and code
    // points above U+10FFFF.
    int trailing = 0;
    std::uint32_t cp = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      trailing = 1;
      cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      trailing = 2;
      cp = lead & 0x0F;
      if (lead == 0xE0)
        low = 0xA0;
      if (lead == 0xED)
        high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      trailing = 3;
      cp = lead & 0x07;
      if (lead == 0xF0)
        low = 0x90;
      if (lead == 0xF4)
        high = 0x8F;
    }
    std::size_t next = i + 1;
    int taken = 0;
    for (; taken < trailing && next < n; ++taken, ++next) {
      const auto byte = static_cast<unsigned char>(src[next]);
      if (byte < low || byte > high)
        break;
      cp = (cp << 6) | (byte & 0x3F);
      low = 0x80;
      high = 0xBF;
    }
    if (trailing == 0 || taken < trailing) {
      // The lead and the trailing bytes that fitted form one ill-formed
      // subpart; the byte that broke the sequence starts the next one.
      if (onInvalid == OnInvalid::kFail)
        return Finish(out, Transcoded::Status::kInvalid, true);
      replaced = true;
      cp = kReplacementCharacter;
    }
    if (!PutCodePoint(out, cp))
      return Finish(out, Transcoded::Status::kOverflow, replaced);
    i = next;
  }
  return Finish(out, Transcoded::Status::kOk, replaced);
}

Transcoded Utf16ToUtf8(std::u16string_view src,
                       char* dst,
                       std::size_t capacity,
                       OnInvalid onInvalid) {
  Output<char> out(dst, capacity);
  bool replaced = false;
  const std::size_t n = src.size();
  for (std::size_t i = 0; i < n; ++i) {
    std::uint32_t cp = src[i];
    if (IsSurrogate(src[i])) {
      if (IsHighSurrogate(src[i]) && i + 1 < n && IsLowSurrogate(src[i + 1])) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (src[i + 1] - 0xDC00u);
        ++i;
      } else {
        if (onInvalid == OnInvalid::kFail)
          return Finish(out, Transcoded::Status::kInvalid, true);
        replaced = true;
        cp = kReplacementCharacter;
      }
    }
    if (!PutCodePoint(out, cp))
      return Finish(out, Transcoded::Status::kOverflow, replaced);
  }
  return Finish(out, Transcoded::Status::kOk, replaced);
}

}  // namespace vyn::text
