// Late binding served from the type library, on a stand-in control whose
// members record what reached them.
#include <gtest/gtest.h>

#include "control/class_ids.h"
#include "control/dual_object.h"
#include "control/error_reporting.h"
#include "control/interfaces.h"
#include "control/server_registration.h"
#include "platform/com/error_info.h"
#include "tests/com_server/late_binding.h"
#include "tests/platform/com/dispatch_stub.h"
#include "tests/platform/win/registry_test_env.h"

namespace vyn::testing {
namespace {

class FakeEncoder final : public DispatchStub<FakeEncoder, IVynAudioEncoder> {};
class NotAnEncoder final : public DispatchStub<NotAnEncoder, IDispatch> {};

// Home thread: the test's.
class FakeRipper final : public DualObject<FakeRipper, IVynCDRipper> {
 public:
  HRESULT get_Drives(IDrivesCollection**) override { return E_FAIL; }
  HRESULT CancelExtraction() override {
    return ReportError(CLSID_VynCDRipper, Message::kExtractionInProgress);
  }
  HRESULT get_Encoder(IVynAudioEncoder** out) override { return encoder_.CopyTo(out); }
  HRESULT put_Encoder(IVynAudioEncoder* encoder) override {
    encoder_ = ComPtr<IVynAudioEncoder>(encoder);
    return S_OK;
  }
  HRESULT get_JitterCorrection(VARIANT_BOOL* out) override {
    *out = jitter_;
    return S_OK;
  }
  HRESULT put_JitterCorrection(VARIANT_BOOL value) override {
    jitter_ = value;
    return S_OK;
  }
  HRESULT RunQueue() override { return S_FALSE; }
  HRESULT ClearQueue() override { return S_OK; }
  HRESULT GetDriveNumber(LONG* count) override {
    *count = 7;
    return S_OK;
  }
  HRESULT GetDrive(LONG number, IDrive** drive) override {
    drive_asked_ = number;
    *drive = nullptr;
    return S_OK;
  }
  HRESULT get_OverwritePrompt(VARIANT_BOOL* out) override {
    *out = 1;
    return S_OK;
  }
  HRESULT put_OverwritePrompt(VARIANT_BOOL) override { return S_OK; }

  VARIANT_BOOL jitter_ = 0;
  LONG drive_asked_ = 0;
  ComPtr<IVynAudioEncoder> encoder_;

 protected:
  ~FakeRipper() override = default;
};

class DispatchTest : public ::testing::Test {
 protected:
  ComPtr<FakeRipper> ripper_ = FakeRipper::Create();
  IDispatch* dispatch() { return static_cast<IVynCDRipper*>(ripper_.Get()); }
};

// Hosts spell names in any case, and may ask for parameter ids too.
TEST_F(DispatchTest, NamesAreFoundCaseInsensitivelyWithTheirParameters) {
  std::u16string member = u"getdrive", param = u"DWNUMBER";
  OLECHAR* names[] = {member.data(), param.data()};
  DISPID ids[2] = {};
  EXPECT_EQ(dispatch()->GetIDsOfNames(IID_NULL, names, 2, 0, ids), S_OK);
  EXPECT_EQ(ids[0], 9);
  EXPECT_EQ(ids[1], 0);

  std::u16string unknown = u"NoSuchMember";
  OLECHAR* bad[] = {unknown.data()};
  DISPID id = 0;
  EXPECT_EQ(dispatch()->GetIDsOfNames(IID_NULL, bad, 1, 0, &id), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(id, DISPID_UNKNOWN);

  std::u16string bad_param = u"nope";
  OLECHAR* half[] = {member.data(), bad_param.data()};
  EXPECT_EQ(dispatch()->GetIDsOfNames(IID_NULL, half, 2, 0, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[0], 9);
  EXPECT_EQ(ids[1], DISPID_UNKNOWN);
  EXPECT_EQ(dispatch()->GetIDsOfNames(IDispatch::kIid, names, 1, 0, ids), DISP_E_UNKNOWNINTERFACE);
}

// A put must reach the put member with the coerced value, and a read the get.
TEST_F(DispatchTest, PropertyPutCoercesAndGetReadsBack) {
  LateCall put;
  std::vector<Variant> value;
  value.push_back(Variant::FromLong(1));
  InvokeByName(dispatch(), u"JitterCorrection", DISPATCH_PROPERTYPUT, std::move(value), &put);
  ASSERT_EQ(put.hr, S_OK);
  EXPECT_EQ(ripper_->jitter_, VARIANT_TRUE);
  Variant read = Get(dispatch(), u"jittercorrection");
  EXPECT_EQ(read->vt, VT_BOOL);
  EXPECT_EQ(read->boolVal, VARIANT_TRUE);
}

// Arguments come last-first and by reference; a wrong order or a missed
// dereference passes the wrong number.
TEST_F(DispatchTest, MethodTakesByRefArgumentCoercedFromText) {
  BSTR text = SysAllocString(u"3");
  VARIANT by_ref;
  VariantInit(&by_ref);
  by_ref.vt = VT_BSTR | VT_BYREF;
  by_ref.pbstrVal = &text;
  DISPPARAMS params{&by_ref, nullptr, 1, 0};
  Variant result;
  EXPECT_EQ(
      dispatch()->Invoke(9, IID_NULL, 0, DISPATCH_METHOD, &params, result.get(), nullptr, nullptr),
      S_OK);
  EXPECT_EQ(ripper_->drive_asked_, 3);
  EXPECT_EQ(result->vt, VT_DISPATCH);
  EXPECT_EQ(result->pdispVal, nullptr);
  SysFreeString(text);
  EXPECT_EQ(Get(dispatch(), u"GetDriveNumber")->lVal, 7);
}

// An interface argument is queried for the parameter's interface; an
// object without it is refused instead of being passed on as the wrong type.
TEST_F(DispatchTest, InterfaceArgumentIsQueriedForItsInterface) {
  auto encoder = FakeEncoder::Create();
  LateCall good;
  std::vector<Variant> args;
  args.push_back(Variant::FromDispatch(encoder.Get()));
  InvokeByName(dispatch(), u"Encoder", DISPATCH_PROPERTYPUTREF, std::move(args), &good);
  EXPECT_EQ(good.hr, S_OK);
  EXPECT_EQ(ripper_->encoder_.Get(), static_cast<IVynAudioEncoder*>(encoder.Get()));

  auto stranger = NotAnEncoder::Create();
  LateCall bad;
  std::vector<Variant> wrong;
  wrong.push_back(Variant::FromDispatch(stranger.Get()));
  InvokeByName(dispatch(), u"Encoder", DISPATCH_PROPERTYPUT, std::move(wrong), &bad);
  EXPECT_EQ(bad.hr, DISP_E_TYPEMISMATCH);
  EXPECT_EQ(bad.arg_error, 0u);
}

// Each malformed call gets its own dispatch error, never a call of the member.
TEST_F(DispatchTest, MalformedCallsAreRefused) {
  DISPID put_name = DISPID_PROPERTYPUT;
  struct Case {
    const char* what;
    DISPID id;
    WORD flags;
    std::vector<LONG> args;  // declaration order
    bool named_put;
    HRESULT expected;
    UINT arg_error;
  };
  const Case kCases[] = {
      {"unknown dispid", 99, DISPATCH_METHOD, {}, false, DISP_E_MEMBERNOTFOUND, ~0u},
      {"property read as method only", 5, DISPATCH_METHOD, {}, false, DISP_E_MEMBERNOTFOUND, ~0u},
      {"method read as property", 9, DISPATCH_PROPERTYGET, {1}, false, DISP_E_MEMBERNOTFOUND, ~0u},
      {"too few arguments", 9, DISPATCH_METHOD, {}, false, DISP_E_BADPARAMCOUNT, ~0u},
      {"too many arguments", 8, DISPATCH_METHOD, {1}, false, DISP_E_BADPARAMCOUNT, ~0u},
      {"put without its named value",
       5,
       DISPATCH_PROPERTYPUT,
       {1},
       false,
       DISP_E_PARAMNOTOPTIONAL,
       ~0u},
      {"put of a read-only property",
       2,
       DISPATCH_PROPERTYPUT,
       {1},
       true,
       DISP_E_MEMBERNOTFOUND,
       ~0u},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    std::vector<VARIANT> args;
    for (auto it = c.args.rbegin(); it != c.args.rend(); ++it)
      args.push_back(*Variant::FromLong(*it).get());
    DISPPARAMS params{args.data(), c.named_put ? &put_name : nullptr,
                      static_cast<UINT>(args.size()), c.named_put ? 1u : 0u};
    UINT arg_error = ~0u;
    EXPECT_EQ(dispatch()->Invoke(c.id, IID_NULL, 0, c.flags, &params, nullptr, nullptr, &arg_error),
              c.expected);
    EXPECT_EQ(arg_error, c.arg_error);
  }
  EXPECT_EQ(ripper_->drive_asked_, 0);
}

// A value that cannot become the parameter's type names its position.
TEST_F(DispatchTest, UncoercibleArgumentIsReportedWithItsIndex) {
  struct Case {
    Variant value;
    HRESULT expected;
  };
  Case cases[] = {{BstrVariant(u"three"), DISP_E_TYPEMISMATCH}, {Variant(), S_OK}};
  cases[1].value->vt = VT_R8;
  cases[1].value->dblVal = 1e12;
  cases[1].expected = DISP_E_OVERFLOW;
  for (Case& c : cases) {
    DISPPARAMS params{c.value.get(), nullptr, 1, 0};
    UINT arg_error = ~0u;
    EXPECT_EQ(
        dispatch()->Invoke(9, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, &arg_error),
        c.expected);
    EXPECT_EQ(arg_error, 0u);
  }
}

// A member's failure without a text still reaches a host that gives no
// EXCEPINFO as the member's own HRESULT.
TEST_F(DispatchTest, PlainFailureWithoutExcepinfoIsTheMembersResult) {
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  Variant result;
  EXPECT_EQ(dispatch()->Invoke(2, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, result.get(), nullptr,
                               nullptr),
            E_FAIL);
  LateCall call;
  InvokeByName(dispatch(), u"Drives", DISPATCH_PROPERTYGET, {}, &call);
  EXPECT_EQ(call.hr, DISP_E_EXCEPTION);
  EXPECT_EQ(call.exception.scode, E_FAIL);
  EXPECT_EQ(call.exception.bstrDescription, nullptr);
}

class DispatchErrorTest : public RegistryTest {};

// The host must see the text and the source of the member's error object.
TEST_F(DispatchErrorTest, FailureWithTextFillsExcepinfoWithTextAndSource) {
  ASSERT_EQ(WriteServerEntries("/opt/vyn/libvynctl.so"), S_OK);
  auto ripper = FakeRipper::Create();
  LateCall call;
  InvokeByName(static_cast<IVynCDRipper*>(ripper.Get()), u"CancelExtraction", DISPATCH_METHOD, {},
               &call);
  EXPECT_EQ(call.hr, DISP_E_EXCEPTION);
  EXPECT_EQ(call.exception.scode, DISP_E_EXCEPTION);
  ASSERT_NE(call.exception.bstrDescription, nullptr);
  EXPECT_EQ(std::u16string(call.exception.bstrDescription), u"Extraction is already in progress.");
  ASSERT_NE(call.exception.bstrSource, nullptr);
  EXPECT_EQ(std::u16string(call.exception.bstrSource), u"Nuvex.CDRipper.1");
  // The error object went to the host's EXCEPINFO, not left behind.
  ComPtr<IErrorInfo> left;
  EXPECT_EQ(GetErrorInfo(0, left.Receive()), S_FALSE);
}

}  // namespace
}  // namespace vyn::testing
