#include "control/error_reporting.h"

#include <gtest/gtest.h>

#include "control/class_ids.h"
#include "platform/com/error_info.h"
#include "platform/win/format_message.h"
#include "platform/win/last_error.h"
#include "platform/win/registry_store.h"
#include "tests/platform/win/registry_test_env.h"

namespace vyn {
namespace {

struct TakenError {
  std::u16string description;
  std::u16string source;
  bool has_source = false;
  GUID guid{};
};

// Takes the calling thread's current error object, failing the test when
// there is none.
TakenError TakeError() {
  TakenError taken;
  ComPtr<IErrorInfo> info;
  EXPECT_EQ(GetErrorInfo(0, info.Receive()), S_OK);
  if (!info)
    return taken;
  Bstr description, source;
  info->GetDescription(description.Receive());
  info->GetSource(source.Receive());
  info->GetGUID(&taken.guid);
  taken.description = description.Str();
  taken.source = source.Str();
  taken.has_source = !source.IsNull();
  return taken;
}

class ReportErrorTest : public testing::RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    RegistryStore store(store_path_);
    std::string key = "CLSID\\" + CLSID_VynCDRipper.ToString() + "\\ProgID";
    ASSERT_TRUE(store.CreateKey(key).ok());
    ASSERT_TRUE(store.SetString(key, "", "Nuvex.CDRipper.1").ok());
  }
};

// Catches a missing or wrong source, a non-null interface id, or a result
// other than DISP_E_EXCEPTION.
TEST_F(ReportErrorTest, SourceComesFromTheReportingClassProgId) {
  static const struct {
    const char* name;
    CLSID reporting_class;
    bool has_source;
  } kCases[] = {
      {"control", CLSID_VynCDRipper, true},
      {"drive", CLSID_Drive, false},
      {"track", CLSID_Track, false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReportError(c.reporting_class, Message::kNoCdDrives), DISP_E_EXCEPTION);
    TakenError taken = TakeError();
    EXPECT_EQ(taken.description, u"Seems like you don't have any CD drives...");
    EXPECT_EQ(taken.has_source, c.has_source);
    if (c.has_source) {
      EXPECT_EQ(taken.source, u"Nuvex.CDRipper.1");
    }
    EXPECT_EQ(taken.guid, GUID_NULL);
  }
}

// Catches ANSI texts passed through as UTF-8 or truncated at a high byte.
TEST_F(ReportErrorTest, AnsiAndWideTextsArriveAsWideText) {
  ReportError(CLSID_Drive, std::string_view("Caf\xE9 \x80 5"));
  EXPECT_EQ(TakeError().description, u"Caf\u00E9 \u20AC 5");
  ReportError(CLSID_Drive, std::u16string_view(u"CDDB error #9: no records for your disk found."));
  EXPECT_EQ(TakeError().description, u"CDDB error #9: no records for your disk found.");
}

// Catches a stale error object left behind when a new one cannot be made.
TEST_F(ReportErrorTest, NoErrorObjectWhenOneCannotBeMade) {
  SetCreateErrorInfoFailsForTesting(true);
  EXPECT_EQ(ReportError(CLSID_VynCDRipper, Message::kQueueEmpty), DISP_E_EXCEPTION);
  SetCreateErrorInfoFailsForTesting(false);
  ComPtr<IErrorInfo> info;
  EXPECT_EQ(GetErrorInfo(0, info.Receive()), S_FALSE);
}

// Catches a trimming rule that cuts the wrong characters or crashes on
// codes without a text.
TEST(SystemErrorTextTest, DropsTheClosingPeriodAndLineBreak) {
  for (DWORD code : {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_DISK_FULL}) {
    SCOPED_TRACE(code);
    auto full = SystemMessageText(code);
    ASSERT_TRUE(full.has_value());
    ASSERT_GE(full->size(), 3u);
    ASSERT_EQ(full->substr(full->size() - 3), ".\r\n");
    SetLastError(code);
    EXPECT_EQ(SystemErrorText(), full->substr(0, full->size() - 3));
  }
  SetLastError(0x7FFF1234);
  EXPECT_EQ(SystemErrorText(), "");
}

}  // namespace
}  // namespace vyn
