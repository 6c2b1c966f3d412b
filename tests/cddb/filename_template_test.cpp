#include "cddb/filename_template.h"

#include <gtest/gtest.h>

#include "control/messages.h"
#include "platform/text/code_page.h"

namespace vyn {
namespace {

std::string Narrow(const std::u16string& text) {
  return WideToUtf8(text);
}

std::u16string Name(std::u16string_view record, int track_index, std::u16string_view tmpl) {
  auto name = GenerateFilename(record, track_index, tmpl);
  EXPECT_TRUE(name.ok());
  return name.ok() ? *name : u"<error>";
}

// Catches a departure from the record reading rules: the leading comment
// block, the DTITLE split and trim, the whole TTITLE number, the last line
// winning, lines without a value or without a final LF.
TEST(FilenameTemplateTest, RecordReadingRules) {
  static const struct {
    const char* name;
    std::u16string_view record;
    int track_index;
    std::u16string_view tmpl;
    std::u16string_view expected;
  } kCases[] = {
      {"demo default", u"DTITLE=Some Artist / Some Album\nTTITLE2=Third Song\n", 2,
       u"(%6) %1 -- %2", u"(03) Some Artist -- Third Song"},
      {"no slash leaves artist and album", u"DTITLE=Some Artist\n", 0, u"[%1][%3]", u"[][]"},
      {"split at the first slash", u"DTITLE=AC/DC / Live\n", 0, u"[%1][%3]", u"[AC][DC / Live]"},
      {"empty artist", u"DTITLE= / Album\n", 0, u"[%1][%3]", u"[][Album]"},
      {"TTITLE10 is not track 1", u"TTITLE1=One\nTTITLE10=Ten\n", 1, u"%2", u"One"},
      {"TTITLE10 is track 10", u"TTITLE1=One\nTTITLE10=Ten\n", 10, u"%2", u"Ten"},
      {"TTITLE without digits is track 0", u"TTITLE=Zero\n", 0, u"%2", u"Zero"},
      {"huge track number", u"TTITLE99999999999999999999=X\n", 0, u"[%2]", u"[]"},
      {"later DYEAR wins", u"DYEAR=1999\nDYEAR=2001\n", 0, u"%4", u"2001"},
      {"continuation keeps the second part", u"TTITLE0=Long \nTTITLE0=Title\n", 0, u"%2", u"Title"},
      {"empty value is skipped", u"DGENRE=Rock\nDGENRE=\n", 0, u"%5", u"Rock"},
      {"leading comments skipped", u"# xmcd\n#\nDISCID=7a0b4c0d\n", 0, u"%7", u"7a0b4c0d"},
      {"record of comments only", u"# a\n# b", 0, u"[%7]", u"[]"},
      {"a later # line is a line", u"DISCID=1\n#DISCID=2\n", 0, u"%7", u"1"},
      {"last line without LF is not read", u"DYEAR=1999\nDYEAR=2001", 0, u"%4", u"1999"},
      {"keys are case-sensitive", u"dyear=1999\nDYEAR =2001\n", 0, u"[%4]", u"[]"},
      {"value keeps later equals signs", u"DGENRE=a=b\n", 0, u"%5", u"a=b"},
      {"escapes are not decoded", u"TTITLE0=A\\nB\n", 0, u"%2", u"A\\nB"},
      {"trims only U+0020", u"DTITLE=\tA  /  B\t\n", 0, u"[%1][%3]", u"[\tA][B\t]"},
      {"non-ASCII passes", u"DTITLE=Bj\u00f6rk / Hom\u00f8genic\n", 0, u"%1 \u2013 %3",
       u"Bj\u00f6rk \u2013 Hom\u00f8genic"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Narrow(Name(c.record, c.track_index, c.tmpl)), Narrow(std::u16string(c.expected)));
  }
}

// Catches a wrong expansion of the placeholders and of "%" before anything
// else, and the cleaning of the seven characters wherever they come from.
TEST(FilenameTemplateTest, TemplateExpansionAndCleaning) {
  constexpr std::u16string_view kRecord =
      u"DISCID=7a0b4c0d\nDTITLE=Artist / Album\nDYEAR=1999\nDGENRE=Rock\nTTITLE0=Why? Me: "
      u"<yes>|\"no\"*\n";
  static const struct {
    const char* name;
    std::u16string_view tmpl;
    int track_index;
    std::u16string_view expected;
  } kCases[] = {
      {"all placeholders", u"%1|%2|%3|%4|%5|%6|%7", 0,
       u"Artist_Why_ Me_ _yes___no___Album_1999_Rock_01_7a0b4c0d"},
      {"percent percent one", u"%%1", 0, u"%1"},
      {"percent eight", u"%8", 0, u"%8"},
      {"percent at the end", u"name%", 0, u"name%"},
      {"single digit placeholders", u"%10", 0, u"Artist0"},
      {"drive letter colon", u"C:\\music\\%1", 0, u"C_\\music\\Artist"},
      {"slash makes a folder", u"%3/%6", 0, u"Album/01"},
      {"three-digit track number", u"%6", 99, u"100"},
      {"empty template", u"", 0, u""},
      {"non-ASCII template", u"\u00e9t\u00e9 %4", 0, u"\u00e9t\u00e9 1999"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Narrow(Name(kRecord, c.track_index, c.tmpl)), Narrow(std::u16string(c.expected)));
  }
}

// Catches a name made without an active record instead of the error.
TEST(FilenameTemplateTest, NoActiveRecordIsAnError) {
  auto name = GenerateFilename(std::nullopt, 0, u"%1");
  ASSERT_FALSE(name.ok());
  EXPECT_EQ(name.error().message, MessageText(Message::kNoActiveCddbRecord));
  EXPECT_EQ(name.code(), DISP_E_EXCEPTION);
}

}  // namespace
}  // namespace vyn
