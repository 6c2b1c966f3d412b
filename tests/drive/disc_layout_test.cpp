#include <gtest/gtest.h>

#include "drive/drive_object.h"
#include "tests/drive/virtual_drive_fixture.h"

namespace vyn {
namespace {

class DiscLayoutTest : public testing::VirtualDriveTest {
 protected:
  ComPtr<Drive> MakeDrive() {
    auto drive = Drive::Create(&owner_, &record());
    EXPECT_TRUE(drive.ok()) << std::hex << drive.code();
    return drive.ok() ? drive.value() : nullptr;
  }
};

// Catches entries read from the wrong slot, a lead-out left out, or an id
// that differs from the one servers compute (worked out by hand here:
// digit sums 2 + 8 + 8, 262 seconds, 3 tracks).
TEST_F(DiscLayoutTest, EntriesAndCddbIdentityComeFromTheStoredTable) {
  UseDrives("synthetic:a4500,a750|d3000");
  ComPtr<Drive> drive = MakeDrive();
  ComPtr<IDiscLayout> layout = drive.As<IDiscLayout>();
  ASSERT_TRUE(layout);

  LONG count = 0;
  ASSERT_EQ(layout->get_EntryCount(&count), S_OK);
  ASSERT_EQ(count, 4);
  static const struct {
    LONG number;
    LONG adr_control;
    LONG start;
  } kEntries[] = {{1, 0x10, 0}, {2, 0x10, 4500}, {3, 0x14, 5250 + 11400}, {0xAA, 0x14, 19650}};
  for (LONG entry = 1; entry <= count; ++entry) {
    SCOPED_TRACE(entry);
    LONG value = -1;
    EXPECT_EQ(layout->EntryTrackNumber(entry, &value), S_OK);
    EXPECT_EQ(value, kEntries[entry - 1].number);
    EXPECT_EQ(layout->EntryAdrControl(entry, &value), S_OK);
    EXPECT_EQ(value & 0x0F, kEntries[entry - 1].adr_control & 0x0F);
    EXPECT_EQ(layout->EntryStartAddress(entry, &value), S_OK);
    EXPECT_EQ(value, kEntries[entry - 1].start);
  }

  Bstr id, query;
  ASSERT_EQ(layout->get_CddbDiscId(id.Receive()), S_OK);
  EXPECT_EQ(id.View(), u"12010603");
  ASSERT_EQ(layout->get_CddbQueryCommand(query.Receive()), S_OK);
  EXPECT_EQ(query.View(), u"cddb query 12010603 3 150 4650 16800 264");
  drive->Shutdown();
}

// Catches reads outside the table and answers from a drive out of service.
TEST_F(DiscLayoutTest, BadEntriesAndRetiredDrivesAreRefused) {
  UseDrives("synthetic:a4500");
  ComPtr<Drive> drive = MakeDrive();
  ComPtr<IDiscLayout> layout = drive.As<IDiscLayout>();
  LONG value = 0;
  EXPECT_EQ(layout->EntryTrackNumber(0, &value), DISP_E_BADINDEX);
  EXPECT_EQ(layout->EntryStartAddress(3, &value), DISP_E_BADINDEX);
  EXPECT_EQ(layout->EntryAdrControl(1, nullptr), E_POINTER);
  EXPECT_EQ(layout->get_CddbDiscId(nullptr), E_POINTER);
  drive->Shutdown();
  EXPECT_EQ(layout->get_EntryCount(&value), CO_E_OBJNOTCONNECTED);
  Bstr id;
  EXPECT_EQ(layout->get_CddbDiscId(id.Receive()), CO_E_OBJNOTCONNECTED);
}

// Catches an IDispatch that serves only IDrive's names.
TEST_F(DiscLayoutTest, LateBindingReachesTheLayoutMembers) {
  UseDrives("synthetic:a4500,a750|d3000");
  ComPtr<Drive> drive = MakeDrive();
  ComPtr<IDispatch> dispatch = drive.As<IDispatch>();
  OLECHAR name[] = u"cddbdiscid";
  OLECHAR* names[] = {name};
  DISPID id = 0;
  ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
  EXPECT_EQ(id, 105);
  DISPPARAMS none{};
  Variant result;
  ASSERT_EQ(dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                             result.get(), nullptr, nullptr),
            S_OK);
  ASSERT_EQ(result->vt, VT_BSTR);
  EXPECT_EQ(std::u16string(result->bstrVal), u"12010603");
  OLECHAR drive_name[] = u"Name";
  names[0] = drive_name;
  ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
  EXPECT_EQ(id, 1) << "IDrive's own members still come first";
  drive->Shutdown();
}

}  // namespace
}  // namespace vyn
