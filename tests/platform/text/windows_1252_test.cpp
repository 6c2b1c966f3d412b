#include <gtest/gtest.h>

#include <string>

#include "platform/text/code_page.h"
#include "platform/win/last_error.h"

namespace {

// A wrong entry in the upper table corrupts every CDDB title that uses it;
// the five unassigned bytes must keep their value both ways.
TEST(Windows1252Test, EveryHighByteAndSamplesRoundTrip) {
  static const struct {
    unsigned char byte;
    char16_t unit;
  } kCases[] = {
      {0x80, 0x20AC},
      {0x81, 0x0081},
      {0x82, 0x201A},
      {0x83, 0x0192},
      {0x84, 0x201E},
      {0x85, 0x2026},
      {0x86, 0x2020},
      {0x87, 0x2021},
      {0x88, 0x02C6},
      {0x89, 0x2030},
      {0x8A, 0x0160},
      {0x8B, 0x2039},
      {0x8C, 0x0152},
      {0x8D, 0x008D},
      {0x8E, 0x017D},
      {0x8F, 0x008F},
      {0x90, 0x0090},
      {0x91, 0x2018},
      {0x92, 0x2019},
      {0x93, 0x201C},
      {0x94, 0x201D},
      {0x95, 0x2022},
      {0x96, 0x2013},
      {0x97, 0x2014},
      {0x98, 0x02DC},
      {0x99, 0x2122},
      {0x9A, 0x0161},
      {0x9B, 0x203A},
      {0x9C, 0x0153},
      {0x9D, 0x009D},
      {0x9E, 0x017E},
      {0x9F, 0x0178},
      // Outside 0x80-0x9F each byte is its own code point.
      {0x01, 0x0001},
      {0x41, 0x0041},
      {0x7F, 0x007F},
      {0xA0, 0x00A0},
      {0xA9, 0x00A9},
      {0xC4, 0x00C4},
      {0xE9, 0x00E9},
      {0xFF, 0x00FF},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(static_cast<int>(c.byte));
    const char narrow = static_cast<char>(c.byte);
    WCHAR wide = 0;
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, &narrow, 1, &wide, 1), 1);
    EXPECT_EQ(wide, c.unit);
    char back = 0;
    BOOL usedDefault = TRUE;
    ASSERT_EQ(WideCharToMultiByte(1252, 0, &wide, 1, &back, 1, nullptr, &usedDefault), 1);
    EXPECT_EQ(static_cast<unsigned char>(back), c.byte);
    EXPECT_EQ(usedDefault, FALSE);
  }
}

// An asymmetric table would change text that merely passes through UTF-16.
TEST(Windows1252Test, AllBytesRoundTripThroughTheHelpers) {
  std::string all;
  for (int b = 0; b < 256; ++b)
    all.push_back(static_cast<char>(b));
  const std::u16string wide = vyn::AnsiToWide(all);
  ASSERT_EQ(wide.size(), 256u);
  EXPECT_EQ(vyn::WideToAnsi(wide), all);
}

// Characters the code page lacks must be marked, not silently mangled, and
// the caller's default character must be honoured.
TEST(Windows1252Test, UnmappableCharactersUseTheDefault) {
  static const struct {
    std::u16string input;
    const char* defaultChar;
    std::string expected;
    BOOL usedDefault;
  } kCases[] = {
      {u"Beyonc\u00E9 \u20AC", nullptr, "Beyonc\xE9 \x80", FALSE},
      {u"\u0100", nullptr, "?", TRUE},               // no best fit to 'A'
      {u"\u0080", nullptr, "?", TRUE},               // a C1 control 1252 uses for the euro
      {u"a\u4E2Db", nullptr, "a?b", TRUE},           // CJK
      {u"\U0001F600", nullptr, "??", TRUE},          // one default per UTF-16 unit
      {u"x\u0100y", "#", "x#y", TRUE},               // the caller's default
      {std::u16string{0xD800}, nullptr, "?", TRUE},  // a lone surrogate
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.expected);
    char out[16] = {};
    BOOL usedDefault = 2;
    const int n = WideCharToMultiByte(CP_ACP, 0, c.input.data(), static_cast<int>(c.input.size()),
                                      out, sizeof out, c.defaultChar, &usedDefault);
    ASSERT_EQ(n, static_cast<int>(c.expected.size()));
    EXPECT_EQ(std::string(out, n), c.expected);
    EXPECT_EQ(usedDefault, c.usedDefault);
  }
  EXPECT_EQ(vyn::WideToAnsi(u"\u0100\u20AC"), "?\x80");
}

}  // namespace
