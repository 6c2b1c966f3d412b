#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "platform/text/code_page.h"
#include "platform/win/last_error.h"

namespace {

// Callers size their buffers with a first call of size 0 and then convert;
// a wrong count or a missing terminator overruns or truncates their text.
TEST(CodePageTest, SizeQueriesAndTerminators) {
  static const struct {
    UINT codePage;
    const char* narrow;  // zero-terminated
    std::u16string wide;
  } kCases[] = {
      {CP_ACP, "Abbey Road", u"Abbey Road"},
      {1252, "caf\xE9 \x80", u"caf\u00E9 \u20AC"},
      {CP_UTF8, "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", u"caf\u00E9 \u20AC \U0001F600"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.narrow);
    const int narrowBytes = static_cast<int>(std::strlen(c.narrow));
    const int wideChars = static_cast<int>(c.wide.size());

    // -1 counts the terminator and converts it.
    ASSERT_EQ(MultiByteToWideChar(c.codePage, 0, c.narrow, -1, nullptr, 0), wideChars + 1);
    std::u16string wide(wideChars + 1, u'x');
    ASSERT_EQ(MultiByteToWideChar(c.codePage, 0, c.narrow, -1, wide.data(), wideChars + 1),
              wideChars + 1);
    EXPECT_EQ(wide, c.wide + u'\0');

    // An explicit length neither counts nor writes a terminator.
    std::u16string exact(wideChars + 1, u'x');
    ASSERT_EQ(MultiByteToWideChar(c.codePage, 0, c.narrow, narrowBytes, exact.data(), wideChars),
              wideChars);
    EXPECT_EQ(exact, c.wide + u'x');

    ASSERT_EQ(WideCharToMultiByte(c.codePage, 0, c.wide.c_str(), -1, nullptr, 0, nullptr, nullptr),
              narrowBytes + 1);
    std::string narrow(narrowBytes + 1, 'x');
    ASSERT_EQ(WideCharToMultiByte(c.codePage, 0, c.wide.c_str(), -1, narrow.data(), narrowBytes + 1,
                                  nullptr, nullptr),
              narrowBytes + 1);
    EXPECT_EQ(narrow, std::string(c.narrow, narrowBytes + 1));
    ASSERT_EQ(
        WideCharToMultiByte(c.codePage, 0, c.wide.data(), wideChars, nullptr, 0, nullptr, nullptr),
        narrowBytes);
  }
}

// A buffer one unit short must fail with ERROR_INSUFFICIENT_BUFFER and never
// be written past its end (ASan watches the heap buffers).
TEST(CodePageTest, TooSmallBuffersFail) {
  static const struct {
    UINT codePage;
    const char* narrow;
    std::u16string wide;
  } kCases[] = {
      {CP_ACP, "Nevermind", u"Nevermind"},
      {CP_UTF8, "\xC3\xA9\xF0\x9F\x98\x80", u"\u00E9\U0001F600"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.narrow);
    const int wideNeeded = static_cast<int>(c.wide.size()) + 1;
    auto wide = std::make_unique<WCHAR[]>(wideNeeded - 1);
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(MultiByteToWideChar(c.codePage, 0, c.narrow, -1, wide.get(), wideNeeded - 1), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);

    const int narrowNeeded = static_cast<int>(std::strlen(c.narrow)) + 1;
    auto narrow = std::make_unique<char[]>(narrowNeeded - 1);
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(WideCharToMultiByte(c.codePage, 0, c.wide.c_str(), -1, narrow.get(), narrowNeeded - 1,
                                  nullptr, nullptr),
              0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  }
}

// Calls the desktop platform refuses must be refused here too, with its
// error codes, instead of converting something.
TEST(CodePageTest, RejectsBadArguments) {
  WCHAR wide[8];
  char narrow[8];
  const WCHAR* text = u"ab";
  const char def = '#';
  BOOL used = FALSE;
  const struct {
    const char* name;
    std::function<int()> call;
    DWORD error;
  } kCases[] = {
      {"empty input", [&] { return MultiByteToWideChar(CP_ACP, 0, "ab", 0, wide, 8); },
       ERROR_INVALID_PARAMETER},
      {"null input", [&] { return MultiByteToWideChar(CP_ACP, 0, nullptr, -1, wide, 8); },
       ERROR_INVALID_PARAMETER},
      {"length below -1", [&] { return MultiByteToWideChar(CP_ACP, 0, "ab", -2, wide, 8); },
       ERROR_INVALID_PARAMETER},
      {"unknown code page", [&] { return MultiByteToWideChar(437, 0, "ab", -1, wide, 8); },
       ERROR_INVALID_PARAMETER},
      {"null output with a size",
       [&] { return MultiByteToWideChar(CP_ACP, 0, "ab", -1, nullptr, 8); },
       ERROR_INVALID_PARAMETER},
      {"utf-8 with a composition flag",
       [&] { return MultiByteToWideChar(CP_UTF8, MB_PRECOMPOSED, "ab", -1, wide, 8); },
       ERROR_INVALID_FLAGS},
      {"unknown flag", [&] { return MultiByteToWideChar(CP_ACP, 0x10000, "ab", -1, wide, 8); },
       ERROR_INVALID_FLAGS},
      {"utf-8 with a default char",
       [&] { return WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow, 8, &def, nullptr); },
       ERROR_INVALID_PARAMETER},
      {"utf-8 with used-default",
       [&] { return WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow, 8, nullptr, &used); },
       ERROR_INVALID_PARAMETER},
      {"1252 with the utf-8 strict flag",
       [&] {
         return WideCharToMultiByte(CP_ACP, WC_ERR_INVALID_CHARS, text, -1, narrow, 8, nullptr,
                                    nullptr);
       },
       ERROR_INVALID_FLAGS},
      {"negative output size",
       [&] { return WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, -1, nullptr, nullptr); },
       ERROR_INVALID_PARAMETER},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(c.call(), 0);
    EXPECT_EQ(GetLastError(), c.error);
  }
  // The composition flags are accepted (and change nothing) for the ANSI page.
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, "ab", -1, wide, 8), 3);
  EXPECT_EQ(GetACP(), 1252u);
}

// Converting a buffer onto itself would read what it has just written.
TEST(CodePageTest, OverlappingBuffersAreRefused) {
  alignas(WCHAR) char shared[16] = "abcdef";
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, shared, 4, reinterpret_cast<WCHAR*>(shared + 2), 4), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

}  // namespace
