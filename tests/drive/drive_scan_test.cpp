#include "drive/drive_scan.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "drive/drive_name.h"
#include "platform/win/clock.h"
#include "tests/drive/fake_pass_through_system.h"
#include "tests/drive/stub_aspi_controls.h"
#include "tests/drive/test_support.h"

namespace vyn {
namespace {

using testing::FakePassThroughSystem;

constexpr char kNoLibrary[] = "vyn-no-such-aspi.dll";

struct Address {
  BYTE adapter;
  BYTE target;
  BYTE lun;
  bool operator==(const Address&) const = default;
};

std::vector<Address> AddressesOf(const std::vector<DriveRecord>& drives) {
  std::vector<Address> addresses;
  for (const DriveRecord& drive : drives) {
    addresses.push_back({drive.host_adapter, drive.target, drive.lun});
  }
  return addresses;
}

// Catches support answers accepted on the count alone or with another status.
TEST(AdapterCountTest, AcceptsOnlyACompletedStatus) {
  const struct {
    DWORD answer;
    std::optional<BYTE> count;
  } kCases[] = {
      {0x0101, 1},
      {0x0100, 0},
      {0x0102, 2},
      {0xE800, std::nullopt},
      {0x0001, std::nullopt},
      {0x0401, std::nullopt},
      {0x010103, 3},
  };
  for (const auto& test : kCases) {
    SCOPED_TRACE(::testing::Message() << std::hex << test.answer);
    EXPECT_EQ(AcceptedAdapterCount(test.answer), test.count);
  }
}

// Catches a scan that stops early in the LUN loop, or misses an adapter,
// or orders drives by letter instead of adapter.
TEST(DriveScanTest, FindsEveryAddressOrderedByAdapter) {
  FakePassThroughSystem drives;
  drives.AddDrive('C', 7, 5, 3);  // adapter 1
  drives.AddDrive('D', 2, 6, 7);  // adapter 0
  drives.AddDrive('E', 7, 0, 0);  // adapter 1
  ScsiTransport transport({kNoLibrary, &drives});
  ASSERT_TRUE(transport.Open());
  auto count = AcceptedAdapterCount(transport.GetSupportInfo());
  ASSERT_EQ(count, 2);

  std::vector<DriveRecord> found = ScanDrives(transport, *count);
  EXPECT_EQ(AddressesOf(found), (std::vector<Address>{{0, 6, 7}, {1, 0, 0}, {1, 5, 3}}));
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[2].name, "VYN     Virtual CD 2    ");
  EXPECT_EQ(found[0].transport, &transport);
  EXPECT_EQ(found[0].toc_reply, TocReply{});
}

// A scripted library with an answer mode, for the scan through the library.
class LibraryScanTest : public ::testing::Test {
 protected:
  LibraryScanTest()
      : system_env_("VYN_SYSTEM_DIR", root_.path().string()),
        windows_env_("VYN_WINDOWS_DIR", root_.path().string()) {
    std::filesystem::copy_file(VYN_STUB_ASPI, root_.path() / "libvynstubaspi.so");
    EXPECT_TRUE(transport_.Open());
    module_ = LoadLibraryA(transport_.library()->Path().c_str());
    reset_ = reinterpret_cast<StubAspiResetFn>(GetProcAddress(module_, "StubAspiReset"));
    add_device_ =
        reinterpret_cast<StubAspiAddDeviceFn>(GetProcAddress(module_, "StubAspiAddDevice"));
  }
  ~LibraryScanTest() override {
    reset_(0x0101, StubAnswer::kAtOnce);
    FreeLibrary(module_);
  }

  testing::TempFolder root_;
  testing::ScopedEnvironment system_env_;
  testing::ScopedEnvironment windows_env_;
  FakePassThroughSystem no_drives_;
  ScsiTransport transport_{{"vynstubaspi.dll", &no_drives_}};
  HMODULE module_ = nullptr;
  StubAspiResetFn reset_ = nullptr;
  StubAspiAddDeviceFn add_device_ = nullptr;
};

// Catches write-once devices left out, or other device types let in.
TEST_F(LibraryScanTest, KeepsCdRomAndWriteOnceDevices) {
  reset_(0x0102, StubAnswer::kAtOnce);
  add_device_(0, 1, 0, DTYPE_WORM, "WRITER  Once Only");
  add_device_(0, 2, 0, 0x00, "DISK    Hard Disk");
  add_device_(1, 0, 0, DTYPE_CDROM, "READER12Reads Everything");
  std::vector<DriveRecord> found = ScanDrives(transport_, 2);
  EXPECT_EQ(AddressesOf(found), (std::vector<Address>{{0, 1, 0}, {1, 0, 0}}));
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].name, "WRITER  Once Only");
  EXPECT_EQ(found[1].name, "READER12Reads Everything");
}

// Catches a device-type wait without a limit, or one that keeps the address.
TEST_F(LibraryScanTest, AddressThatNeverAnswersIsSkippedAfterTheWait) {
  reset_(0x0101, StubAnswer::kNever);
  add_device_(0, 0, 0, DTYPE_CDROM, "NEVER   Answers");
  ScaledClock fast(100000);
  ScopedClockOverride use_fast(fast);
  std::vector<DriveRecord> found;
  testing::FinishWithin(std::chrono::seconds(60), [&] { found = ScanDrives(transport_, 1); });
  EXPECT_TRUE(found.empty());
}

// Catches names trimmed, joined with a separator, or read past a zero byte.
TEST(DriveNameTest, KeepsVendorAndProductAsReported) {
  const struct {
    const char* vendor;   // 8 bytes
    const char* product;  // 16 bytes
    const char* name;
  } kCases[] = {
      {"ACME    ", "Disc Reader     ", "ACME    Disc Reader     "},
      {"VENDOR12", "PRODUCT16CHARSXY", "VENDOR12PRODUCT16CHARSXY"},
      {"ACME    ", "Short\0\0\0\0\0\0\0\0\0\0\0", "ACME    Short"},
      {"\0\0\0\0\0\0\0\0", "Ignored after zero", ""},
  };
  for (const auto& test : kCases) {
    SCOPED_TRACE(test.name);
    InquiryData inquiry{};
    inquiry[0] = DTYPE_CDROM;
    std::memcpy(inquiry.data() + 8, test.vendor, 8);
    std::memcpy(inquiry.data() + 16, test.product, 16);
    std::memcpy(inquiry.data() + 32, "1.00", 4);  // the revision is not part of it
    EXPECT_EQ(DriveNameFromInquiry(inquiry), test.name);
  }
}

// Catches a null out pointer written through, or a name that loses its fillers.
TEST(DriveNameTest, NameAsBstr) {
  DriveRecord drive;
  drive.name = "ACME    Disc Reader     ";
  EXPECT_EQ(DriveNameAsBstr(drive, nullptr), E_POINTER);
  BSTR name = nullptr;
  ASSERT_EQ(DriveNameAsBstr(drive, &name), S_OK);
  EXPECT_EQ(std::u16string(name, SysStringLen(name)), u"ACME    Disc Reader     ");
  SysFreeString(name);

  drive.name.clear();
  ASSERT_EQ(DriveNameAsBstr(drive, &name), S_OK);
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(SysStringLen(name), 0u);
  SysFreeString(name);
}

}  // namespace
}  // namespace vyn
