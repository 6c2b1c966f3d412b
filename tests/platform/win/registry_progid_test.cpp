#include "platform/com/progid.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/com/task_memory.h"
#include "platform/win/registry_store.h"
#include "tests/platform/win/registry_test_env.h"

namespace {

constexpr CLSID kRipper = MakeGuid("{7D3E9A10-2C58-4B61-A9F4-E05B36C87D12}");
constexpr CLSID kDrive = MakeGuid("{29C7A4E5-D03B-4F96-8A71-C6E15B0F38D4}");

class ProgIdTest : public vyn::testing::RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    vyn::RegistryStore store(store_path_);
    const std::string class_key = "CLSID\\" + kRipper.ToString();
    ASSERT_TRUE(store.CreateKey(class_key + "\\ProgID").ok());
    ASSERT_TRUE(store.SetString(class_key + "\\ProgID", "", "Nuvex.CDRipper.1").ok());
    ASSERT_TRUE(store.CreateKey("Nuvex.CDRipper.1\\CLSID").ok());
    ASSERT_TRUE(store.SetString("Nuvex.CDRipper.1\\CLSID", "", kRipper.ToString()).ok());
    // A class registered without a ProgID, and ProgIDs pointing nowhere sensible.
    ASSERT_TRUE(store.CreateKey("CLSID\\" + kDrive.ToString()).ok());
    ASSERT_TRUE(store.CreateKey("Broken.1\\CLSID").ok());
    ASSERT_TRUE(store.SetString("Broken.1\\CLSID", "", "{not-a-guid}").ok());
    ASSERT_TRUE(store.CreateKey("NoClsid.1").ok());
  }
};

// Catches a wrong key path or a result not allocated with the task allocator.
TEST_F(ProgIdTest, FindsTheRegisteredNamesBothWays) {
  OLECHAR* name = nullptr;
  ASSERT_EQ(ProgIDFromCLSID(kRipper, &name), S_OK);
  EXPECT_EQ(std::u16string(name), u"Nuvex.CDRipper.1");
  CoTaskMemFree(name);

  CLSID clsid{};
  ASSERT_EQ(CLSIDFromProgID(u"nuvex.cdripper.1", &clsid), S_OK);
  EXPECT_EQ(clsid, kRipper);
}

// Catches missing registrations reported as success or as the wrong code,
// and outputs left holding stale data after a failure.
TEST_F(ProgIdTest, MissingOrMalformedRegistrationsFail) {
  OLECHAR* name = reinterpret_cast<OLECHAR*>(&name);
  EXPECT_EQ(ProgIDFromCLSID(kDrive, &name), REGDB_E_CLASSNOTREG);  // class without ProgID
  EXPECT_EQ(name, nullptr);
  EXPECT_EQ(ProgIDFromCLSID(MakeGuid("{00000000-0000-0000-0000-000000000001}"), &name),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(ProgIDFromCLSID(kRipper, nullptr), E_POINTER);

  static const struct {
    const char16_t* prog_id;
    HRESULT expected;
  } kCases[] = {
      {u"Unknown.1", CO_E_CLASSSTRING},
      {u"NoClsid.1", CO_E_CLASSSTRING},
      {u"Broken.1", CO_E_CLASSSTRING},
      {u"", CO_E_CLASSSTRING},
      {u"CLSID\\{7D3E9A10-2C58-4B61-A9F4-E05B36C87D12}", CO_E_CLASSSTRING},
      {nullptr, E_INVALIDARG},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::PrintToString(c.prog_id ? std::u16string(c.prog_id) : u"(null)"));
    CLSID clsid = kRipper;
    EXPECT_EQ(CLSIDFromProgID(c.prog_id, &clsid), c.expected);
    EXPECT_EQ(clsid, GUID_NULL);
  }
  EXPECT_EQ(CLSIDFromProgID(u"Nuvex.CDRipper.1", nullptr), E_POINTER);
}

// Catches a corrupt registry passed off as "class not registered".
TEST_F(ProgIdTest, CorruptRegistryIsReportedAsSuch) {
  WriteStoreFile("garbage\n");
  OLECHAR* name = nullptr;
  EXPECT_EQ(ProgIDFromCLSID(kRipper, &name), REGDB_E_READREGDB);
  CLSID clsid{};
  EXPECT_EQ(CLSIDFromProgID(u"Nuvex.CDRipper.1", &clsid), REGDB_E_READREGDB);
}

}  // namespace
