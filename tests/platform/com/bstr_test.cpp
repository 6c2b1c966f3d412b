#include "platform/com/bstr.h"

#include <gtest/gtest.h>

namespace {

// A wrong prefix or missing terminator breaks every caller that reads a BSTR.
TEST(BstrTest, LengthPrefixAndTerminator) {
  static const struct {
    std::u16string text;
  } kCases[] = {{u""}, {u"a"}, {u"Tarnwell"}, {std::u16string(u"a\0b", 3)}};
  for (const auto& c : kCases) {
    BSTR b = SysAllocStringLen(c.text.data(), static_cast<UINT>(c.text.size()));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(SysStringLen(b), c.text.size());
    EXPECT_EQ(SysStringByteLen(b), c.text.size() * 2);
    EXPECT_EQ(b[c.text.size()], 0);
    EXPECT_EQ(std::u16string(b, SysStringLen(b)), c.text);
    SysFreeString(b);
  }
}

TEST(BstrTest, NullReadsAsEmpty) {
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  SysFreeString(nullptr);
  vyn::Bstr empty;
  EXPECT_TRUE(empty.IsNull());
  EXPECT_EQ(empty.View(), u"");
}

TEST(BstrTest, SysAllocStringStopsAtTheFirstZero) {
  BSTR b = SysAllocString(u"drive");
  EXPECT_EQ(SysStringLen(b), 5u);
  SysFreeString(b);
}

// Catches double frees and leaks in the owner (ASan reports them).
TEST(BstrTest, OwnerMovesAndReceives) {
  vyn::Bstr a(u"first");
  vyn::Bstr b = std::move(a);
  EXPECT_TRUE(a.IsNull());
  EXPECT_EQ(b.View(), u"first");
  *b.Receive() = SysAllocString(u"second");
  EXPECT_EQ(b.View(), u"second");
  BSTR raw = b.Detach();
  EXPECT_TRUE(b.IsNull());
  SysFreeString(raw);
}

}  // namespace
