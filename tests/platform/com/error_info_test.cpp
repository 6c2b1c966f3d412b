#include "platform/com/error_info.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

ComPtr<IErrorInfo> MakeError(const char16_t* description) {
  ComPtr<ICreateErrorInfo> create;
  EXPECT_EQ(CreateErrorInfo(create.Receive()), S_OK);
  create->SetDescription(description);
  create->SetSource(u"Nuvex.CDRipper.1");
  return create.As<IErrorInfo>();
}

// Catches an error object leaking across threads or surviving GetErrorInfo.
TEST(ErrorInfoTest, CurrentErrorIsPerThreadAndTakenOnce) {
  ASSERT_EQ(SetErrorInfo(0, MakeError(u"main").Get()), S_OK);
  std::thread other([] {
    ComPtr<IErrorInfo> none;
    EXPECT_EQ(GetErrorInfo(0, none.Receive()), S_FALSE);
    EXPECT_FALSE(none);
    SetErrorInfo(0, MakeError(u"other").Get());
  });
  other.join();

  ComPtr<IErrorInfo> taken;
  ASSERT_EQ(GetErrorInfo(0, taken.Receive()), S_OK);
  vyn::Bstr description;
  EXPECT_EQ(taken->GetDescription(description.Receive()), S_OK);
  EXPECT_EQ(description.View(), u"main");
  vyn::Bstr source;
  taken->GetSource(source.Receive());
  EXPECT_EQ(source.View(), u"Nuvex.CDRipper.1");
  GUID guid = MakeGuid("11111111-1111-1111-1111-111111111111");
  taken->GetGUID(&guid);
  EXPECT_EQ(guid, GUID_NULL);

  ComPtr<IErrorInfo> again;
  EXPECT_EQ(GetErrorInfo(0, again.Receive()), S_FALSE);
}

TEST(ErrorInfoTest, UnsetFieldsReadAsNull) {
  ComPtr<ICreateErrorInfo> create;
  ASSERT_EQ(CreateErrorInfo(create.Receive()), S_OK);
  ComPtr<IErrorInfo> info = create.As<IErrorInfo>();
  vyn::Bstr text;
  EXPECT_EQ(info->GetSource(text.Receive()), S_OK);
  EXPECT_TRUE(text.IsNull());
  EXPECT_EQ(info->GetHelpFile(nullptr), E_POINTER);
}

TEST(ErrorInfoTest, CreationFailureCanBeForced) {
  vyn::SetCreateErrorInfoFailsForTesting(true);
  ComPtr<ICreateErrorInfo> create;
  EXPECT_EQ(CreateErrorInfo(create.Receive()), E_OUTOFMEMORY);
  vyn::SetCreateErrorInfoFailsForTesting(false);
  EXPECT_EQ(CreateErrorInfo(create.Receive()), S_OK);
}

}  // namespace
