#include "platform/text/code_page.h"

#include <climits>
#include <cstdint>
#include <string>

#include "platform/text/utf8.h"
#include "platform/text/windows_1252.h"
#include "platform/win/last_error.h"

namespace {

using vyn::text::OnInvalid;
using vyn::text::Transcoded;

enum class Page { kUnknown, kWindows1252, kUtf8 };

Page Resolve(UINT codePage) {
  switch (codePage) {
    case CP_ACP:
    case CP_THREAD_ACP:
    case 1252:
      return Page::kWindows1252;
    case CP_UTF8:
      return Page::kUtf8;
    default:
      return Page::kUnknown;
  }
}

// UTF-8 takes only the flag that asks for strictness; Windows-1252 takes the
// composition flags too, which change nothing for it.
bool FlagsValid(Page page, DWORD flags, DWORD strictFlag, DWORD pageFlags) {
  return page == Page::kUtf8 ? (flags & ~strictFlag) == 0 : (flags & ~pageFlags) == 0;
}

template <class A, class B>
bool Overlap(const A* a, std::size_t aCount, const B* b, std::size_t bCount) {
  const auto aBegin = reinterpret_cast<std::uintptr_t>(a);
  const auto bBegin = reinterpret_cast<std::uintptr_t>(b);
  return aBegin < bBegin + bCount * sizeof(B) && bBegin < aBegin + aCount * sizeof(A);
}

int Fail(DWORD code) {
  SetLastError(code);
  return 0;
}

// Turns a conversion's outcome into the count or the failure of the C form.
int Report(const Transcoded& result) {
  switch (result.status) {
    case Transcoded::Status::kOverflow:
      return Fail(ERROR_INSUFFICIENT_BUFFER);
    case Transcoded::Status::kInvalid:
      return Fail(ERROR_NO_UNICODE_TRANSLATION);
    case Transcoded::Status::kOk:
      break;
  }
  if (result.length > static_cast<std::size_t>(INT_MAX))
    return Fail(ERROR_ARITHMETIC_OVERFLOW);
  return static_cast<int>(result.length);
}

template <class Char>
std::size_t InputLength(const Char* src, int count) {
  return count == -1 ? std::char_traits<Char>::length(src) + 1 : static_cast<std::size_t>(count);
}

}  // namespace

UINT GetACP() {
  return 1252;
}

int MultiByteToWideChar(UINT codePage,
                        DWORD flags,
                        const char* src,
                        int srcBytes,
                        WCHAR* dst,
                        int dstChars) {
  const Page page = Resolve(codePage);
  if (page == Page::kUnknown || !src || srcBytes == 0 || srcBytes < -1 || dstChars < 0 ||
      (dstChars > 0 && !dst))
    return Fail(ERROR_INVALID_PARAMETER);
  if (!FlagsValid(page, flags, MB_ERR_INVALID_CHARS,
                  MB_PRECOMPOSED | MB_COMPOSITE | MB_USEGLYPHCHARS | MB_ERR_INVALID_CHARS))
    return Fail(ERROR_INVALID_FLAGS);
  const std::string_view input(src, InputLength(src, srcBytes));
  const auto capacity = static_cast<std::size_t>(dstChars);
  WCHAR* const out = capacity ? dst : nullptr;
  if (out && Overlap(input.data(), input.size(), out, capacity))
    return Fail(ERROR_INVALID_PARAMETER);
  const OnInvalid onInvalid =
      (flags & MB_ERR_INVALID_CHARS) ? OnInvalid::kFail : OnInvalid::kReplace;
  return Report(page == Page::kUtf8 ? vyn::text::Utf8ToUtf16(input, out, capacity, onInvalid)
                                    : vyn::text::Windows1252ToUtf16(input, out, capacity));
}

int WideCharToMultiByte(UINT codePage,
                        DWORD flags,
                        const WCHAR* src,
                        int srcChars,
                        char* dst,
                        int dstBytes,
                        const char* defaultChar,
                        BOOL* usedDefault) {
  const Page page = Resolve(codePage);
  if (page == Page::kUnknown || !src || srcChars == 0 || srcChars < -1 || dstBytes < 0 ||
      (dstBytes > 0 && !dst))
    return Fail(ERROR_INVALID_PARAMETER);
  if (!FlagsValid(
          page, flags, WC_ERR_INVALID_CHARS,
          WC_DISCARDNS | WC_SEPCHARS | WC_DEFAULTCHAR | WC_COMPOSITECHECK | WC_NO_BEST_FIT_CHARS))
    return Fail(ERROR_INVALID_FLAGS);
  // UTF-8 can encode every character, so it has no default character.
  if (page == Page::kUtf8 && (defaultChar || usedDefault))
    return Fail(ERROR_INVALID_PARAMETER);
  const std::u16string_view input(src, InputLength(src, srcChars));
  const auto capacity = static_cast<std::size_t>(dstBytes);
  char* const out = capacity ? dst : nullptr;
  if (out && Overlap(input.data(), input.size(), out, capacity))
    return Fail(ERROR_INVALID_PARAMETER);
  if (page == Page::kUtf8) {
    const OnInvalid onInvalid =
        (flags & WC_ERR_INVALID_CHARS) ? OnInvalid::kFail : OnInvalid::kReplace;
    return Report(vyn::text::Utf16ToUtf8(input, out, capacity, onInvalid));
  }
  const Transcoded result =
      vyn::text::Utf16ToWindows1252(input, out, capacity, defaultChar ? *defaultChar : '?');
  const int length = Report(result);
  if (length && usedDefault)
    *usedDefault = result.replaced ? TRUE : FALSE;
  return length;
}

namespace vyn {

std::u16string AnsiToWide(std::string_view input) {
  std::u16string wide(input.size(), u'\0');
  (void)text::Windows1252ToUtf16(input, wide.data(), wide.size());
  return wide;
}

std::string WideToAnsi(std::u16string_view input) {
  std::string narrow(input.size(), '\0');
  (void)text::Utf16ToWindows1252(input, narrow.data(), narrow.size(), '?');
  return narrow;
}

// Counts first, then converts into a string of exactly that size: one
// allocation, no slack.
std::u16string Utf8ToWide(std::string_view input) {
  const std::size_t length = text::Utf8ToUtf16(input, nullptr, 0, text::OnInvalid::kReplace).length;
  std::u16string wide(length, u'\0');
  (void)text::Utf8ToUtf16(input, wide.data(), wide.size(), text::OnInvalid::kReplace);
  return wide;
}

std::string WideToUtf8(std::u16string_view input) {
  const std::size_t length = text::Utf16ToUtf8(input, nullptr, 0, text::OnInvalid::kReplace).length;
  std::string narrow(length, '\0');
  (void)text::Utf16ToUtf8(input, narrow.data(), narrow.size(), text::OnInvalid::kReplace);
  return narrow;
}

}  // namespace vyn
