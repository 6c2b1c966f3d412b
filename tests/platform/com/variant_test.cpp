#include "platform/com/variant.h"

#include <gtest/gtest.h>

#include "tests/platform/com/counting_object.h"

namespace {

using vyn::testing::CountingObject;

// Catches copies that share a BSTR (double free) or skip the AddRef.
TEST(VariantTest, CopyOwnsItsOwnValue) {
  int destroyed = 0;
  ComPtr<CountingObject> object = CountingObject::Create(3, &destroyed);
  struct Case {
    const char* name;
    vyn::Variant value;
  };
  Case cases[] = {
      {"empty", vyn::Variant()},
      {"long", vyn::Variant::FromLong(-5)},
      {"bool", vyn::Variant::FromBool(true)},
      {"string", vyn::Variant::FromString(u"Track 1")},
      {"null string", vyn::Variant::FromString(u"")},
      {"dispatch", vyn::Variant::FromDispatch(object.Get())},
      {"null dispatch", vyn::Variant::FromDispatch(nullptr)},
  };
  cases[4].value->bstrVal = (SysFreeString(cases[4].value->bstrVal), nullptr);
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    vyn::Variant copy = vyn::Variant::FromString(u"to be replaced");
    ASSERT_EQ(VariantCopy(copy.get(), c.value.get()), S_OK);
    EXPECT_EQ(copy->vt, c.value->vt);
    if (c.value->vt == VT_BSTR && c.value->bstrVal) {
      EXPECT_NE(copy->bstrVal, c.value->bstrVal);
      EXPECT_EQ(std::u16string(copy->bstrVal), std::u16string(c.value->bstrVal));
    }
  }
  for (auto& c : cases)
    VariantClear(c.value.get());
  object = nullptr;
  EXPECT_EQ(destroyed, 1);
}

TEST(VariantTest, ClearLeavesEmptyAndRefusesUnknownTypes) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(u"x");
  EXPECT_EQ(VariantClear(&v), S_OK);
  EXPECT_EQ(v.vt, VT_EMPTY);
  v.vt = 0x0FFE;
  EXPECT_EQ(VariantClear(&v), DISP_E_BADVARTYPE);
  EXPECT_EQ(v.vt, 0x0FFE);
  VARIANT byref;
  VariantInit(&byref);
  LONG target = 4;
  byref.vt = VT_BYREF | VT_I4;
  byref.plVal = &target;
  EXPECT_EQ(VariantClear(&byref), S_OK);
  EXPECT_EQ(target, 4);
}

TEST(VariantTest, SelfCopyKeepsTheValue) {
  vyn::Variant v = vyn::Variant::FromString(u"same");
  EXPECT_EQ(VariantCopy(v.get(), v.get()), S_OK);
  EXPECT_EQ(std::u16string(v->bstrVal), u"same");
}

}  // namespace
