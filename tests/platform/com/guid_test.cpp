#include "platform/com/guid.h"

#include <gtest/gtest.h>

namespace {

// Catches a parser that accepts near-misses or mangles byte order.
TEST(GuidTest, ParsesOnlyTheRegistryForm) {
  static const struct {
    const char* text;
    bool valid;
  } kCases[] = {
      {"{7D3E9A10-2C58-4B61-A9F4-E05B36C87D12}", true},
      {"7d3e9a10-2c58-4b61-a9f4-e05b36c87d12", true},
      {"{7D3E9A10-2C58-4B61-A9F4-E05B36C87D12", false},
      {"7D3E9A10-2C58-4B61-A9F4-E05B36C87D1", false},
      {"7D3E9A102C58-4B61-A9F4-E05B36C87D12-", false},
      {"{7D3E9A10-2C58-4B61-A9F4-E05B36C87DXZ}", false},
      {"", false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(GUID::Parse(c.text).has_value(), c.valid);
  }
}

TEST(GuidTest, RoundTripsThroughText) {
  constexpr GUID kGuid = MakeGuid("{7D3E9A10-2C58-4B61-A9F4-E05B36C87D12}");
  EXPECT_EQ(kGuid.Data1, 0x7D3E9A10u);
  EXPECT_EQ(kGuid.Data2, 0x2C58);
  EXPECT_EQ(kGuid.Data3, 0x4B61);
  EXPECT_EQ(kGuid.Data4[0], 0xA9);
  EXPECT_EQ(kGuid.Data4[7], 0x12);
  EXPECT_EQ(kGuid.ToString(), "{7D3E9A10-2C58-4B61-A9F4-E05B36C87D12}");
  EXPECT_EQ(GUID::Parse(kGuid.ToString()), kGuid);
  EXPECT_EQ(GUID_NULL.ToString(), "{00000000-0000-0000-0000-000000000000}");
}

}  // namespace
