// The coercions late-bound calls rely on.
#include <gtest/gtest.h>

#include "platform/com/variant.h"

namespace vyn {
namespace {

Variant Of(VARTYPE vt, double number) {
  Variant v;
  v->vt = vt;
  switch (vt) {
    case VT_I2:
      v->iVal = static_cast<SHORT>(number);
      break;
    case VT_I4:
      v->lVal = static_cast<LONG>(number);
      break;
    case VT_UI1:
      v->bVal = static_cast<BYTE>(number);
      break;
    case VT_BOOL:
      v->boolVal = number ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case VT_R8:
      v->dblVal = number;
      break;
    default:
      break;
  }
  return v;
}

// A wrong rounding, range or truth rule passes a different value to the
// member than the script wrote.
TEST(VariantChangeTypeTest, ConvertsBetweenScalarsAndText) {
  struct Case {
    const char* what;
    Variant source;
    VARTYPE target;
    HRESULT expected;
    LONG as_long;            // for integer and BOOL targets
    std::u16string as_text;  // for BSTR targets
  };
  Case cases[] = {
      {"i2 to i4", Of(VT_I2, -5), VT_I4, S_OK, -5, u""},
      {"i4 to ui1 in range", Of(VT_I4, 255), VT_UI1, S_OK, 255, u""},
      {"i4 to ui1 too large", Of(VT_I4, 256), VT_UI1, DISP_E_OVERFLOW, 0, u""},
      {"i4 to i2 too small", Of(VT_I4, -40000), VT_I2, DISP_E_OVERFLOW, 0, u""},
      {"r8 half rounds to even", Of(VT_R8, 2.5), VT_I4, S_OK, 2, u""},
      {"r8 rounds", Of(VT_R8, -1.6), VT_I4, S_OK, -2, u""},
      {"bool to i4", Of(VT_BOOL, 1), VT_I4, S_OK, -1, u""},
      {"non-zero to bool", Of(VT_I4, 7), VT_BOOL, S_OK, VARIANT_TRUE, u""},
      {"zero to bool", Of(VT_R8, 0), VT_BOOL, S_OK, VARIANT_FALSE, u""},
      {"empty to i4", Variant(), VT_I4, S_OK, 0, u""},
      {"text to i4", Variant::FromString(u" 42 "), VT_I4, S_OK, 42, u""},
      {"text to bool", Variant::FromString(u"True"), VT_BOOL, S_OK, VARIANT_TRUE, u""},
      {"number text to bool", Variant::FromString(u"0"), VT_BOOL, S_OK, VARIANT_FALSE, u""},
      {"bad text", Variant::FromString(u"4x"), VT_I4, DISP_E_TYPEMISMATCH, 0, u""},
      {"i4 to text", Of(VT_I4, -12), VT_BSTR, S_OK, 0, u"-12"},
      {"r8 to text", Of(VT_R8, 1.5), VT_BSTR, S_OK, 0, u"1.5"},
      {"bool to text", Of(VT_BOOL, 1), VT_BSTR, S_OK, 0, u"True"},
      {"null to i4", Variant(), VT_I4, DISP_E_TYPEMISMATCH, 0, u""},
      {"number to object", Of(VT_I4, 1), VT_DISPATCH, DISP_E_TYPEMISMATCH, 0, u""},
  };
  cases[17].source->vt = VT_NULL;
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    Variant out;
    ASSERT_EQ(VariantChangeType(out.get(), c.source.get(), 0, c.target), c.expected);
    if (FAILED(c.expected)) {
      EXPECT_EQ(out->vt, VT_EMPTY);
      continue;
    }
    ASSERT_EQ(out->vt, c.target);
    if (c.target == VT_BSTR)
      EXPECT_EQ(std::u16string(out->bstrVal), c.as_text);
    else if (c.target == VT_UI1)
      EXPECT_EQ(out->bVal, c.as_long);
    else if (c.target == VT_BOOL)
      EXPECT_EQ(out->boolVal, c.as_long);
    else
      EXPECT_EQ(out->lVal, c.as_long);
  }
}

// A by-reference argument is read through, and converting in place frees
// the old string instead of leaking or double-freeing it.
TEST(VariantChangeTypeTest, ReadsThroughReferencesAndConvertsInPlace) {
  LONG number = 17;
  Variant ref;
  ref->vt = VT_I4 | VT_BYREF;
  ref->plVal = &number;
  Variant text;
  ASSERT_EQ(VariantChangeType(text.get(), ref.get(), 0, VT_BSTR), S_OK);
  EXPECT_EQ(std::u16string(text->bstrVal), u"17");

  ASSERT_EQ(VariantChangeType(text.get(), text.get(), 0, VT_I4), S_OK);
  EXPECT_EQ(text->vt, VT_I4);
  EXPECT_EQ(text->lVal, 17);
}

}  // namespace
}  // namespace vyn
