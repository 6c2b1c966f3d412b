#include "platform/win/format_message.h"

#include <algorithm>

#include "platform/com/hresult.h"
#include "platform/win/last_error.h"
#include "platform/win/local_memory.h"

namespace vyn {

std::optional<std::string_view> SystemMessageText(DWORD code) {
  switch (code) {
#define VYN_SYSTEM_ERROR_TEXT(name, number, text) \
  case number:                                    \
    return std::string_view(text "\r\n");
    VYN_SYSTEM_ERROR_LIST(VYN_SYSTEM_ERROR_TEXT)
#undef VYN_SYSTEM_ERROR_TEXT
  }
  return std::nullopt;
}

std::string ErrorName(DWORD code) {
  switch (code) {
#define VYN_SYSTEM_ERROR_NAME(name, number, text) \
  case number:                                    \
    return #name;
    VYN_SYSTEM_ERROR_LIST(VYN_SYSTEM_ERROR_NAME)
#undef VYN_SYSTEM_ERROR_NAME
  }
  return std::to_string(code);
}

}  // namespace vyn

namespace {

// Finds the text FormatMessage would give, or sets the last error.
std::optional<std::string_view> LookUp(DWORD flags, DWORD messageId, DWORD languageId) {
  // Only the system table, with its texts as they are (no line width).
  if ((flags & (FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_FROM_HMODULE |
                FORMAT_MESSAGE_FROM_SYSTEM)) != FORMAT_MESSAGE_FROM_SYSTEM ||
      (flags & FORMAT_MESSAGE_MAX_WIDTH_MASK) != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return std::nullopt;
  }
  // An HRESULT wrapping a system code has the text of that code.
  const auto asHresult = static_cast<HRESULT>(messageId);
  if (FAILED(asHresult) && HRESULT_FACILITY(asHresult) == FACILITY_WIN32)
    messageId = static_cast<DWORD>(HRESULT_CODE(asHresult));
  const auto text = vyn::SystemMessageText(messageId);
  if (!text) {
    SetLastError(ERROR_MR_MID_NOT_FOUND);
    return std::nullopt;
  }
  if (languageId != LANG_NEUTRAL && languageId != LANG_USER_DEFAULT) {
    SetLastError(ERROR_RESOURCE_LANG_NOT_FOUND);
    return std::nullopt;
  }
  return text;
}

// Delivers the text as Char units into the caller's buffer or a LocalAlloc'd
// one. The texts are ASCII, so a unit-by-unit copy is the right conversion
// for both forms.
template <class Char>
DWORD Deliver(std::string_view text, DWORD flags, Char* buffer, DWORD size) {
  const auto length = static_cast<DWORD>(text.size());
  Char* target = buffer;
  if (flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) {
    auto** out = reinterpret_cast<Char**>(buffer);
    const std::size_t units = std::max<std::size_t>(size, std::size_t{length} + 1);
    target = static_cast<Char*>(LocalAlloc(LMEM_FIXED, units * sizeof(Char)));
    if (!target)
      return 0;  // LocalAlloc has set the last error
    *out = target;
  } else {
    if (size < length + 1) {
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return 0;
    }
    if (!buffer) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
    }
  }
  std::copy(text.begin(), text.end(), target);
  target[length] = Char{0};
  return length;
}

// Looks the text up and delivers it. In the allocate form the caller's
// pointer is cleared first, so a failure never leaves it dangling.
template <class Char>
DWORD Format(DWORD flags, DWORD messageId, DWORD languageId, Char* buffer, DWORD size) {
  if (flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) {
    if (!buffer) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
    }
    *reinterpret_cast<Char**>(buffer) = nullptr;
  }
  const auto text = LookUp(flags, messageId, languageId);
  return text ? Deliver(*text, flags, buffer, size) : 0;
}

}  // namespace

DWORD FormatMessageA(DWORD flags,
                     const void* source,
                     DWORD messageId,
                     DWORD languageId,
                     char* buffer,
                     DWORD size,
                     void* arguments) {
  return Format(flags, messageId, languageId, buffer, size);
}

DWORD FormatMessageW(DWORD flags,
                     const void* source,
                     DWORD messageId,
                     DWORD languageId,
                     WCHAR* buffer,
                     DWORD size,
                     void* arguments) {
  return Format(flags, messageId, languageId, buffer, size);
}
