#include <gtest/gtest.h>

#include <string>

#include "platform/win/reg_file_format.h"

namespace vyn {
namespace {

const std::string kHeader = "Windows Registry Editor Version 5.00\n";

// Catches a parser that accepts what it cannot keep, or refuses what the
// editor writes (CRLF, a byte-order mark, comments, continued hex values).
TEST(RegFileFormatTest, AcceptsOnlyTheFormat) {
  static const struct {
    const char* name;
    std::string text;
    int bad_line;  // 0: parses
  } kCases[] = {
      {"empty file", "", 0},
      {"header only", kHeader, 0},
      {"CRLF and BOM", "\xEF\xBB\xBF" + kHeader + "\r\n[HKEY_CLASSES_ROOT\\A]\r\n@=\"x\"\r\n", 0},
      {"comment", kHeader + "; written by hand\n[HKEY_CLASSES_ROOT\\A]\n", 0},
      {"hive any case", kHeader + "[hkey_classes_root\\A]\n", 0},
      {"spaces round =", kHeader + "[HKEY_CLASSES_ROOT\\A]\n\"n\" = \"v\"\n", 0},
      {"dword", kHeader + "[HKEY_CLASSES_ROOT\\A]\n\"n\"=dword:0000002a\n", 0},
      {"hex over lines", kHeader + "[HKEY_CLASSES_ROOT\\A]\n\"n\"=hex(2):41,00,\\\n  42,00\n", 0},
      {"empty hex", kHeader + "[HKEY_CLASSES_ROOT\\A]\n\"n\"=hex:\n", 0},
      {"foreign header", "REGEDIT4\n[HKEY_CLASSES_ROOT\\A]\n", 1},
      {"no header", "[HKEY_CLASSES_ROOT\\A]\n", 1},
      {"binary garbage",
       std::string("\x7f"
                   "ELF\x02\x01\x01\0\0",
                   9),
       1},
      {"Latin-1 text", kHeader + "[HKEY_CLASSES_ROOT\\A]\n@=\"caf\xE9\"\n", 3},
      {"overlong UTF-8", kHeader + "\n[HKEY_CLASSES_ROOT\\\xC0\xAF]\n", 3},
      {"encoded surrogate", kHeader + "[HKEY_CLASSES_ROOT\\\xED\xA0\x80]\n", 2},
      {"NUL byte", kHeader + "[HKEY_CLASSES_ROOT\\A]\n@=\"a" + std::string(1, '\0') + "\"\n", 3},
      {"other hive", kHeader + "[HKEY_CURRENT_USER\\Software]\n", 2},
      {"key deletion", kHeader + "[-HKEY_CLASSES_ROOT\\A]\n", 2},
      {"unclosed key", kHeader + "[HKEY_CLASSES_ROOT\\A\n", 2},
      {"empty key name", kHeader + "[HKEY_CLASSES_ROOT\\A\\\\B]\n", 2},
      {"value before key", kHeader + "@=\"x\"\n", 2},
      {"value deletion", kHeader + "[HKEY_CLASSES_ROOT\\A]\n\"n\"=-\n", 3},
      {"unterminated string", kHeader + "[HKEY_CLASSES_ROOT\\A]\n@=\"abc\n", 3},
      {"unknown escape", kHeader + "[HKEY_CLASSES_ROOT\\A]\n@=\"a\\nb\"\n", 3},
      {"text after string", kHeader + "[HKEY_CLASSES_ROOT\\A]\n@=\"a\" b\n", 3},
      {"missing =", kHeader + "[HKEY_CLASSES_ROOT\\A]\n\"n\"\"v\"\n", 3},
      {"unknown kind", kHeader + "[HKEY_CLASSES_ROOT\\A]\n\"n\"=qword:1\n", 3},
      {"bad dword", kHeader + "[HKEY_CLASSES_ROOT\\A]\n\"n\"=dword:123456789\n", 3},
      {"bad hex byte", kHeader + "[HKEY_CLASSES_ROOT\\A]\n\"n\"=hex:0g\n", 3},
      {"hex past end", kHeader + "[HKEY_CLASSES_ROOT\\A]\n\"n\"=hex:01,\\\n", 3},
      {"stray text", kHeader + "[HKEY_CLASSES_ROOT\\A]\nName=1\n", 3},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    auto parsed = ParseRegFile(c.text, "/tmp/store.reg");
    if (c.bad_line == 0) {
      EXPECT_TRUE(parsed.ok()) << parsed.error().message;
      continue;
    }
    ASSERT_FALSE(parsed.ok());
    EXPECT_EQ(parsed.error().code, REGDB_E_READREGDB);
    EXPECT_TRUE(
        parsed.error().message.starts_with("/tmp/store.reg:" + std::to_string(c.bad_line) + ": "))
        << parsed.error().message;
  }
}

// Catches escaping that loses or doubles a quote or backslash, and raw
// values (kinds the system does not use) lost or altered on rewrite.
TEST(RegFileFormatTest, RoundTripsNamesValuesAndRawKinds) {
  RegKey root;
  RegKey& key = root.FindOrAdd({"Odd \"key\" = [x]]", "Ünïcödé ] sub"});
  key.SetValue({"", RegValueKind::String, "C:\\dir\\\"quoted\" = [1]"});
  key.SetValue({"na\"me\\", RegValueKind::String, "tab\there, 日本語"});
  key.SetValue({"flags", RegValueKind::Raw, "dword:00000001"});
  key.SetValue({"bytes", RegValueKind::Raw, "hex(7):41,00,\\\n  00,00"});
  root.FindOrAdd({"Empty"});

  std::string text = FormatRegFile(root);
  auto parsed = ParseRegFile(text, "store");
  ASSERT_TRUE(parsed.ok()) << parsed.error().message << "\n" << text;
  EXPECT_EQ(FormatRegFile(parsed.value()), text);
  const RegKey* back = parsed->Find({"Odd \"key\" = [x]]", "Ünïcödé ] sub"});
  ASSERT_NE(back, nullptr);
  ASSERT_EQ(back->values.size(), 4u);
  EXPECT_EQ(back->FindValue("")->data, "C:\\dir\\\"quoted\" = [1]");
  EXPECT_EQ(back->FindValue("na\"me\\")->data, "tab\there, 日本語");
  EXPECT_EQ(back->FindValue("bytes")->kind, RegValueKind::Raw);
  EXPECT_EQ(back->FindValue("bytes")->data, "hex(7):41,00,\\\n  00,00");
  EXPECT_NE(parsed->Find({"Empty"}), nullptr);
}

// Catches a writer that puts the default value after named ones or drops
// the root's own values.
TEST(RegFileFormatTest, WritesTheEditorsLayout) {
  RegKey root;
  root.SetValue({"r", RegValueKind::String, "1"});
  RegKey& key = root.FindOrAdd({"A"});
  key.SetValue({"n", RegValueKind::String, "v"});
  key.SetValue({"", RegValueKind::String, "d"});
  EXPECT_EQ(FormatRegFile(root), kHeader +
                                     "\n[HKEY_CLASSES_ROOT]\n\"r\"=\"1\"\n"
                                     "\n[HKEY_CLASSES_ROOT\\A]\n@=\"d\"\n\"n\"=\"v\"\n");
}

}  // namespace
}  // namespace vyn
