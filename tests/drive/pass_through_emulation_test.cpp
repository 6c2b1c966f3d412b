#include "drive/pass_through_emulation.h"

#include <gtest/gtest.h>

#include <cstring>

#include "drive/device_access_rule.h"
#include "drive/drive_record.h"
#include "drive/letter_probe.h"
#include "drive/scsi_transport.h"
#include "platform/win/last_error.h"
#include "tests/drive/fake_pass_through_system.h"
#include "tests/drive/test_support.h"

namespace vyn {
namespace {

using testing::FakePassThroughSystem;

constexpr char kNoLibrary[] = "vyn-no-such-aspi.dll";
constexpr BYTE kTestUnitReady[6] = {};

class EmulationTest : public ::testing::Test {
 protected:
  void OpenTransport() { ASSERT_TRUE(transport_.Open()); }
  BYTE TestUnitReady(BYTE adapter, BYTE target = 0, BYTE lun = 0) {
    return transport_.ExecuteCommand(adapter, target, lun, 0, kTestUnitReady, nullptr, 0);
  }
  SRB_GDEVBlock DeviceType(BYTE adapter, BYTE target, BYTE lun) {
    SRB_GDEVBlock block{};
    block.SRB_Cmd = SC_GET_DEV_TYPE;
    block.SRB_HaId = adapter;
    block.SRB_Target = target;
    block.SRB_Lun = lun;
    transport_.SubmitRequest(&block);
    return block;
  }

  FakePassThroughSystem drives_;
  ScsiTransport transport_{{kNoLibrary, &drives_}};
};

// Catches adapters numbered by letter or by raw port instead of ascending port.
TEST_F(EmulationTest, PortsOneAndThreeBecomeAdaptersZeroAndOne) {
  drives_.AddDrive('C', 3, 0, 0, testing::AudioDisc());
  drives_.AddDrive('E', 1, 0, 0, testing::AudioDisc());
  OpenTransport();
  EXPECT_EQ(transport_.GetSupportInfo(), 0x0102u);

  EXPECT_EQ(TestUnitReady(0), SS_COMP);
  EXPECT_EQ(drives_.Counts('E').commands, 1);
  EXPECT_EQ(drives_.Counts('C').commands, 0);
  EXPECT_EQ(TestUnitReady(1), SS_COMP);
  EXPECT_EQ(drives_.Counts('C').commands, 1);

  SRB_GDEVBlock found = DeviceType(1, 0, 0);
  EXPECT_EQ(found.SRB_Status, SS_COMP);
  EXPECT_EQ(found.SRB_DeviceType, DTYPE_CDROM);
  SRB_GDEVBlock missing = DeviceType(1, 0, 1);
  EXPECT_EQ(missing.SRB_Status, SS_NO_DEVICE);
  EXPECT_EQ(missing.SRB_DeviceType, DTYPE_UNKNOWN);
}

// Catches a drive without an address being dropped, or given a shared port.
TEST_F(EmulationTest, DriveWithoutAddressBecomesItsOwnAdapter) {
  drives_.AddDrive('C', 2, 0, 0);
  drives_.AddDrive('E', 9, 3, 1).address_error = ERROR_NOT_SUPPORTED;  // port 4 by its letter
  drives_.AddDrive('F', 1, 0, 0).address_error = ERROR_GEN_FAILURE;    // unusable
  drives_.Letter('D').type = DriveType::kOther;
  OpenTransport();
  EXPECT_EQ(transport_.GetSupportInfo(), 0x0102u);
  EXPECT_EQ(DeviceType(0, 0, 0).SRB_Status, SS_COMP);  // C: on port 2
  EXPECT_EQ(DeviceType(1, 0, 0).SRB_Status, SS_COMP);  // E: on port 4, target 0, LUN 0
  EXPECT_EQ(DeviceType(1, 3, 1).SRB_Status, SS_NO_DEVICE);
  EXPECT_TRUE(drives_.OpenAttempts('D').empty());
  EXPECT_EQ(drives_.OpenDevices(), 0);  // the scan closes what it opened
}

// Catches letters kept although their device cannot be opened or inquired.
TEST_F(EmulationTest, ScanSkipsDrivesThatCannotBeOpenedOrInquired) {
  drives_.AddDrive('C', 0, 0, 0).open_error = ERROR_ACCESS_DENIED;
  drives_.AddDrive('D', 1, 0, 0).inquiry_error = ERROR_IO_DEVICE;
  drives_.AddDrive('E', 2, 0, 0).inquiry = DeviceInquiry{BusInquiry{}};  // a bus without units
  ScsiTransport transport({kNoLibrary, &drives_});
  EXPECT_FALSE(transport.Open());
  EXPECT_EQ(drives_.OpenDevices(), 0);
}

// Catches an INQUIRY sent to the drive instead of answered from the scan,
// and a copy larger than the caller's buffer.
TEST_F(EmulationTest, InquiryIsAnsweredFromStoredData) {
  auto& drive = *drives_.AddDrive('D', 0, 0, 0).drive;
  OpenTransport();
  drive.ResetCommandCounts();
  const BYTE inquiry[6] = {0x12, 0, 0, 0, 36, 0};
  BYTE data[36] = {};
  EXPECT_EQ(transport_.ExecuteCommand(0, 0, 0, SRB_DIR_IN, inquiry, data, sizeof data), SS_COMP);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(data + 8), 24), "VYN     Virtual CD 3    ");
  EXPECT_EQ(drive.CommandCount(0x12), 0u);
  EXPECT_EQ(drives_.Counts('D').commands, 0);
  EXPECT_EQ(drives_.Counts('D').opens, 1);  // the scan's only

  auto short_buffer = std::make_unique<BYTE[]>(8);
  EXPECT_EQ(transport_.ExecuteCommand(0, 0, 0, SRB_DIR_IN, inquiry, short_buffer.get(), 8),
            SS_COMP);
  EXPECT_EQ(short_buffer[0], 0x05);
}

// Catches a retry that is missing, repeated, or taken for other errors.
TEST_F(EmulationTest, FailedCommandIsRetriedOnceAfterMediaChangeOrInvalidHandle) {
  const struct {
    const char* name;
    std::vector<DWORD> failures;
    BYTE status;
    int commands;
    int probes;
  } kCases[] = {
      {"media changed", {ERROR_MEDIA_CHANGED}, SS_COMP, 2, 1},
      {"media changed twice", {ERROR_MEDIA_CHANGED, ERROR_MEDIA_CHANGED}, SS_ERR, 2, 1},
      {"invalid handle", {ERROR_INVALID_HANDLE}, SS_COMP, 2, 1},
      {"device error", {ERROR_IO_DEVICE}, SS_ERR, 1, 0},
  };
  for (const auto& test : kCases) {
    SCOPED_TRACE(test.name);
    FakePassThroughSystem drives;
    drives.AddDrive('C', 0, 0, 0, testing::AudioDisc());
    ScsiTransport transport({kNoLibrary, &drives});
    ASSERT_TRUE(transport.Open());
    drives.FailNextCommands('C', test.failures);
    EXPECT_EQ(transport.ExecuteCommand(0, 0, 0, 0, kTestUnitReady, nullptr, 0), test.status);
    EXPECT_EQ(drives.Counts('C').commands, test.commands);
    EXPECT_EQ(drives.Counts('C').inquiries, 1 + test.probes);
    EXPECT_LE(drives.OpenDevices(), 1);
  }
}

// Catches a medium change that leaves the old device open or the entry stale.
TEST_F(EmulationTest, MediaChangeReopensTheDevice) {
  drives_.AddDrive('C', 0, 0, 0, testing::AudioDisc());
  OpenTransport();
  EXPECT_EQ(TestUnitReady(0), SS_COMP);
  drives_.FailNextCommands('C', {ERROR_MEDIA_CHANGED});
  EXPECT_EQ(TestUnitReady(0), SS_COMP);
  testing::LetterCounts counts = drives_.Counts('C');
  EXPECT_EQ(counts.opens, 4);  // scan, first command, probe, retry
  EXPECT_EQ(counts.opens - counts.closes, 1);
}

// Catches a device that cannot be opened being reported as done.
TEST_F(EmulationTest, DeviceThatCannotBeOpenedFailsAfterOneRetry) {
  drives_.AddDrive('C', 0, 0, 0, testing::AudioDisc());
  OpenTransport();
  drives_.Letter('C').open_error = ERROR_ACCESS_DENIED;
  EXPECT_EQ(TestUnitReady(0), SS_ERR);
  EXPECT_EQ(drives_.Counts('C').commands, 0);
  EXPECT_EQ(drives_.OpenAttempts('C').size(), 1u + 3u * 2u);  // scan; command, probe, retry
}

// Catches a refused command (no disc) reported as done, and sense data lost.
TEST_F(EmulationTest, DriveThatRefusesTheCommandGivesError) {
  drives_.AddDrive('C', 0, 0, 0);  // empty
  OpenTransport();
  SRB_ExecSCSICmd block{};
  block.SRB_Cmd = SC_EXEC_SCSI_CMD;
  block.SRB_SenseLen = SENSE_LEN;
  block.SRB_CDBLen = 6;
  EXPECT_EQ(transport_.SubmitRequest(&block), SS_ERR);
  EXPECT_EQ(block.SRB_Status, SS_ERR);
  EXPECT_EQ(block.SRB_TargStat, 0x02);
  EXPECT_EQ(block.SenseArea[2] & 0x0F, 0x02);  // NOT READY
  EXPECT_EQ(block.SenseArea[12], 0x3A);        // medium not present
}

// Catches audio that arrives altered, shifted or truncated on its way through.
TEST_F(EmulationTest, ReadCdDeliversTheDiscsAudio) {
  drives_.AddDrive('C', 0, 0, 0, testing::AudioDisc());
  OpenTransport();
  DriveRecord record;
  record.transport = &transport_;
  std::vector<BYTE> data(26 * 2352);
  auto read = testing::ReadCdCommand(100, 26);
  ASSERT_EQ(transport_.ExecuteCommand(record, SRB_DIR_IN, read, data.data(),
                                      static_cast<DWORD>(data.size())),
            SS_COMP);
  EXPECT_EQ(virtual_drive::FirstWrongSyntheticFrame(data, 100 * 588), -1);
}

// Catches requests answered after Close, or devices left open by it.
TEST_F(EmulationTest, CloseReleasesEveryDevice) {
  drives_.AddDrive('C', 0, 0, 0, testing::AudioDisc());
  drives_.AddDrive('D', 1, 0, 0, testing::AudioDisc());
  OpenTransport();
  EXPECT_EQ(TestUnitReady(0), SS_COMP);
  EXPECT_EQ(TestUnitReady(1), SS_COMP);
  EXPECT_EQ(drives_.OpenDevices(), 2);
  transport_.Close();
  EXPECT_EQ(drives_.OpenDevices(), 0);
  EXPECT_EQ(transport_.GetSupportInfo(), 0xE800u);
  EXPECT_EQ(TestUnitReady(0), SS_ERR);
}

// Catches request codes other than device type and execute being accepted.
TEST_F(EmulationTest, OtherRequestCodesGiveError) {
  drives_.AddDrive('C', 0, 0, 0);
  OpenTransport();
  SRB_HAInquiry inquiry{};
  inquiry.SRB_Cmd = SC_HA_INQUIRY;
  EXPECT_EQ(transport_.SubmitRequest(&inquiry), SS_ERR);
  EXPECT_EQ(inquiry.SRB_Status, SS_ERR);
}

// Catches a wrong first access or a fall-back that does not toggle both bits.
TEST(DeviceAccessRuleTest, OpensReadWriteOnNewSystemsAndFallsBack) {
  static const struct {
    SystemVersion version;
    DWORD desired;
    DWORD share;
  } kCases[] = {
      {{2, 10}, kGenericRead | kGenericWrite, kFileShareRead | kFileShareWrite},
      {{2, 5}, kGenericRead | kGenericWrite, kFileShareRead | kFileShareWrite},
      {{2, 4}, kGenericRead, kFileShareRead},
      {{1, 4}, kGenericRead, kFileShareRead},
  };
  for (const auto& test : kCases) {
    SCOPED_TRACE(::testing::Message() << test.version.platform_id << "." << test.version.major);
    DeviceAccess access = PreferredDeviceAccess(test.version);
    EXPECT_EQ(access.desired, test.desired);
    EXPECT_EQ(access.share, test.share);
  }

  FakePassThroughSystem drives;
  drives.AddDrive('C', 0, 0, 0).read_only = true;
  auto device = OpenDriveDevice(drives, 'C');
  EXPECT_TRUE(device.ok());
  auto attempts = drives.OpenAttempts('C');
  ASSERT_EQ(attempts.size(), 2u);
  EXPECT_EQ(attempts[1].desired, kGenericRead);
  EXPECT_EQ(attempts[1].share, kFileShareRead);

  drives.version = {1, 4};  // an old system tries read-write second
  drives.Letter('D') = drives.Letter('C');
  drives.Letter('D').read_only = false;
  drives.Letter('D').open_error = ERROR_ACCESS_DENIED;
  EXPECT_FALSE(OpenDriveDevice(drives, 'D').ok());
  attempts = drives.OpenAttempts('D');
  ASSERT_EQ(attempts.size(), 2u);
  EXPECT_EQ(attempts[1].desired, kGenericRead | kGenericWrite);
}

// Catches a reply with several buses, or none, read out of place.
TEST(LetterProbeTest, TakesTheFirstUnitOfTheFirstBusThatHasOne) {
  LogicalUnitInquiry first{0, 1, 0, {}};
  LogicalUnitInquiry second{1, 2, 0, {}};
  const struct {
    const char* name;
    DeviceInquiry reply;
    int expected_target;  // -1: none
  } kCases[] = {
      {"no bus", {}, -1},
      {"one empty bus", {BusInquiry{}}, -1},
      {"one bus", {BusInquiry{first, second}}, 1},
      {"first bus empty", {BusInquiry{}, BusInquiry{second}}, 2},
      {"two buses", {BusInquiry{second}, BusInquiry{first}}, 2},
  };
  for (const auto& test : kCases) {
    SCOPED_TRACE(test.name);
    const LogicalUnitInquiry* unit = FirstReportedUnit(test.reply);
    EXPECT_EQ(unit ? unit->target_id : -1, test.expected_target);
  }
}

}  // namespace
}  // namespace vyn
