#include "platform/win/format_message.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/com/hresult.h"
#include "platform/win/last_error.h"
#include "platform/win/local_memory.h"

namespace {

constexpr DWORD kSystemFlags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;

// Callers cut the last three characters off every text; a text without
// ".\r\n" would lose a letter, a code without a text would come out empty,
// and a non-ASCII text would differ between the narrow and the wide form.
TEST(FormatMessageTest, EveryListedCodeHasATextAndAName) {
  static const struct {
    DWORD code;
    const char* name;
  } kCodes[] = {
#define VYN_ROW(name, number, text) {number, #name},
      VYN_SYSTEM_ERROR_LIST(VYN_ROW)
#undef VYN_ROW
  };
  for (const auto& c : kCodes) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(vyn::ErrorName(c.code), c.name);
    char buffer[256];
    const DWORD length = FormatMessageA(kSystemFlags, nullptr, c.code, LANG_USER_DEFAULT, buffer,
                                        sizeof buffer, nullptr);
    ASSERT_GT(length, 3u);
    const std::string text(buffer, length);
    EXPECT_EQ(buffer[length], '\0');
    EXPECT_EQ(text.substr(length - 3), ".\r\n");
    EXPECT_EQ(text.find_first_of("\r\n"), length - 2);  // one line only
    for (char ch : text)
      EXPECT_LT(static_cast<unsigned char>(ch), 0x80);
    EXPECT_EQ(vyn::SystemMessageText(c.code), text);
  }
  EXPECT_EQ(ERROR_MEDIA_CHANGED, 1110u);
  EXPECT_EQ(vyn::ErrorName(ERROR_MEDIA_CHANGED), "ERROR_MEDIA_CHANGED");
  EXPECT_EQ(vyn::ErrorName(4711), "4711");
}

// The failures a caller must be able to tell apart, each with its code and
// nothing written to the buffer.
TEST(FormatMessageTest, FailuresSetTheLastError) {
  static const struct {
    const char* name;
    DWORD flags;
    DWORD code;
    DWORD language;
    DWORD size;
    DWORD error;
  } kCases[] = {
      {"unknown code", kSystemFlags, 4711, LANG_USER_DEFAULT, 256, ERROR_MR_MID_NOT_FOUND},
      {"other language", kSystemFlags, ERROR_ACCESS_DENIED, 0x409, 256,
       ERROR_RESOURCE_LANG_NOT_FOUND},
      {"buffer without room for the terminator", kSystemFlags, ERROR_ACCESS_DENIED, LANG_NEUTRAL,
       18, ERROR_INSUFFICIENT_BUFFER},  // "Access is denied.\r\n" is 19
      {"empty buffer", kSystemFlags, ERROR_ACCESS_DENIED, LANG_NEUTRAL, 0,
       ERROR_INSUFFICIENT_BUFFER},
      {"message string source", FORMAT_MESSAGE_FROM_STRING, ERROR_ACCESS_DENIED, LANG_NEUTRAL, 256,
       ERROR_INVALID_PARAMETER},
      {"line width", kSystemFlags | 80, ERROR_ACCESS_DENIED, LANG_NEUTRAL, 256,
       ERROR_INVALID_PARAMETER},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    char buffer[256] = "untouched";
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(FormatMessageA(c.flags, nullptr, c.code, c.language, buffer, c.size, nullptr), 0u);
    EXPECT_EQ(GetLastError(), c.error);
    EXPECT_STREQ(buffer, "untouched");
  }
}

// The exact fit (text plus terminator) must succeed: an off-by-one here
// makes SystemErrorText empty for short texts.
TEST(FormatMessageTest, ExactFitAndWideForm) {
  const auto text = vyn::SystemMessageText(ERROR_ACCESS_DENIED);
  ASSERT_TRUE(text);
  const auto length = static_cast<DWORD>(text->size());
  std::string narrow(length + 1, 'x');
  EXPECT_EQ(FormatMessageA(kSystemFlags, nullptr, ERROR_ACCESS_DENIED, LANG_NEUTRAL, narrow.data(),
                           length + 1, nullptr),
            length);
  EXPECT_EQ(narrow, std::string(*text) + '\0');

  std::u16string wide(length + 1, u'x');
  EXPECT_EQ(FormatMessageW(kSystemFlags, nullptr, ERROR_ACCESS_DENIED, LANG_USER_DEFAULT,
                           wide.data(), length + 1, nullptr),
            length);
  EXPECT_EQ(wide, std::u16string(text->begin(), text->end()) + u'\0');
}

// An HRESULT that wraps a system code is formatted as that code, as hosts
// pass HRESULTs from failed calls straight in.
TEST(FormatMessageTest, Win32HresultFindsItsCode) {
  char direct[256];
  char wrapped[256];
  const DWORD length = FormatMessageA(kSystemFlags, nullptr, ERROR_NOT_SUPPORTED, LANG_NEUTRAL,
                                      direct, sizeof direct, nullptr);
  ASSERT_GT(length, 0u);
  EXPECT_EQ(FormatMessageA(kSystemFlags, nullptr,
                           static_cast<DWORD>(HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED)),
                           LANG_NEUTRAL, wrapped, sizeof wrapped, nullptr),
            length);
  EXPECT_STREQ(direct, wrapped);
}

// The allocate-buffer form hands out memory the caller frees with LocalFree
// (LeakSanitizer catches a missing or mismatched free); on failure the
// pointer is cleared rather than left dangling.
TEST(FormatMessageTest, AllocateBufferForm) {
  char* narrow = reinterpret_cast<char*>(0x1);
  const DWORD length =
      FormatMessageA(kSystemFlags | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, ERROR_MEDIA_CHANGED,
                     LANG_USER_DEFAULT, reinterpret_cast<char*>(&narrow), 0, nullptr);
  ASSERT_GT(length, 0u);
  ASSERT_NE(narrow, nullptr);
  EXPECT_EQ(std::string(narrow), *vyn::SystemMessageText(ERROR_MEDIA_CHANGED));
  EXPECT_EQ(LocalFree(narrow), nullptr);

  WCHAR* wide = nullptr;
  EXPECT_EQ(
      FormatMessageW(kSystemFlags | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, ERROR_MEDIA_CHANGED,
                     LANG_USER_DEFAULT, reinterpret_cast<WCHAR*>(&wide), 0, nullptr),
      length);
  ASSERT_NE(wide, nullptr);
  EXPECT_EQ(std::u16string(wide).size(), length);
  LocalFree(wide);

  // `size` is a minimum: the block holds at least that many characters.
  char* large = nullptr;
  ASSERT_EQ(
      FormatMessageA(kSystemFlags | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, ERROR_MEDIA_CHANGED,
                     LANG_USER_DEFAULT, reinterpret_cast<char*>(&large), 4096, nullptr),
      length);
  large[4095] = 'x';  // ASan: inside the block
  LocalFree(large);

  char* none = reinterpret_cast<char*>(0x1);
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(FormatMessageA(kSystemFlags | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, 4711,
                           LANG_USER_DEFAULT, reinterpret_cast<char*>(&none), 0, nullptr),
            0u);
  EXPECT_EQ(GetLastError(), ERROR_MR_MID_NOT_FOUND);
  EXPECT_EQ(none, nullptr);
}

}  // namespace
