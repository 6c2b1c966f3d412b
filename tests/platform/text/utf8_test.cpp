#include <gtest/gtest.h>

#include <string>

#include "platform/text/code_page.h"
#include "platform/win/last_error.h"

namespace {

// Catches wrong bit arithmetic per sequence length and a decoder that is not
// resynchronising after ill-formed input (one U+FFFD per maximal subpart).
TEST(Utf8Test, DecodesToUtf16) {
  static const struct {
    const char* name;
    std::string input;
    std::u16string expected;
  } kCases[] = {
      {"ascii", "Track 01", u"Track 01"},
      {"two bytes", "\xC3\xA9", u"\u00E9"},
      {"three bytes", "\xE2\x82\xAC", u"\u20AC"},
      {"last of the BMP", "\xEF\xBF\xBF", u"\uFFFF"},
      {"four bytes", "\xF0\x9F\x98\x80", u"\U0001F600"},
      {"highest code point", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
      {"mixed", "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB5z", u"a\u00E9\u20AC\U0001F3B5z"},
      {"lone continuation", "a\x80z", u"a\uFFFDz"},
      {"overlong two bytes", "\xC0\x80", u"\uFFFD\uFFFD"},
      {"overlong three bytes", "\xE0\x80\x80", u"\uFFFD\uFFFD\uFFFD"},
      {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
      {"above U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"invalid lead bytes", "\xF5\xFF", u"\uFFFD\uFFFD"},
      {"truncated at the end", "a\xE2\x82", u"a\uFFFD"},
      {"truncated before ascii", "\xF0\x9F\x98z", u"\uFFFDz"},
      {"truncated before a lead", "\xE2\xC3\xA9", u"\uFFFD\u00E9"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(vyn::Utf8ToWide(c.input), c.expected);
    WCHAR out[16];
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, c.input.data(), static_cast<int>(c.input.size()), out, 16);
    EXPECT_EQ(std::u16string(out, n > 0 ? n : 0), c.expected);
  }
}

// Catches surrogate pairs joined or split wrongly, and unpaired surrogates
// written out as ill-formed UTF-8 into file names.
TEST(Utf8Test, EncodesFromUtf16) {
  static const struct {
    const char* name;
    std::u16string input;
    std::string expected;
  } kCases[] = {
      {"ascii", u"CD", "CD"},
      {"two bytes", u"\u00E9", "\xC3\xA9"},
      {"three bytes", u"\u20AC", "\xE2\x82\xAC"},
      {"surrogate pair", u"\U0001F600", "\xF0\x9F\x98\x80"},
      {"highest code point", u"\U0010FFFF", "\xF4\x8F\xBF\xBF"},
      {"lone high", std::u16string{0xD83D}, "\xEF\xBF\xBD"},
      {"lone low", std::u16string{0xDE00}, "\xEF\xBF\xBD"},
      {"high before ascii", std::u16string{0xD83D, u'a'},
       "\xEF\xBF\xBD"
       "a"},
      {"pair reversed", std::u16string{0xDE00, 0xD83D}, "\xEF\xBF\xBD\xEF\xBF\xBD"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(vyn::WideToUtf8(c.input), c.expected);
    char out[16];
    const int n = WideCharToMultiByte(CP_UTF8, 0, c.input.data(), static_cast<int>(c.input.size()),
                                      out, sizeof out, nullptr, nullptr);
    EXPECT_EQ(std::string(out, n > 0 ? n : 0), c.expected);
  }
}

// A caller that asks for strictness must get a failure, not replaced text.
TEST(Utf8Test, StrictFlagsRejectIllFormedInput) {
  WCHAR wide[8];
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "a\xC0\x80", 3, wide, 8), 0);
  EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "\xC3\xA9", 2, wide, 8), 1);

  char narrow[8];
  const WCHAR lone[] = {u'a', 0xD800};
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(
      WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, lone, 2, narrow, 8, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
}

// Round trip of the helpers on a longer text: catches a count pass and a
// write pass that disagree (ASan sees an overrun).
TEST(Utf8Test, HelpersRoundTripLongText) {
  std::u16string text;
  for (int i = 0; i < 2000; ++i)
    text += u"Bj\u00F6rk \u2013 J\u00F3ga \U0001F3B5\n";
  const std::string utf8 = vyn::WideToUtf8(text);
  EXPECT_EQ(vyn::Utf8ToWide(utf8), text);
  EXPECT_EQ(vyn::Utf8ToWide(""), u"");
  EXPECT_EQ(vyn::WideToUtf8(u""), "");
}

}  // namespace
