// A pass-through system for tests: drive letters configured by the test,
// each backed by a virtual MMC drive, with scripted failures and counts of
// what the emulation asked of it.
//
// Thread-safe: configure the letters before handing the system to a
// transport; counters and the failure queue may be used from any thread.
#pragma once

#include <array>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/scsi/pass_through.h"
#include "virtual/mmc_device.h"

namespace vyn::testing {

struct FakeLetter {
  DriveType type = DriveType::kOther;
  DWORD open_error = 0;    // every open fails with this code
  bool read_only = false;  // opens that ask for write access fail
  DWORD inquiry_error = 0;
  std::optional<DeviceInquiry> inquiry;  // default: one bus with the drive's own unit
  DWORD address_error = 0;
  ScsiAddress address;
  std::shared_ptr<virtual_drive::MmcDevice> drive;
};

struct LetterCounts {
  int opens = 0;
  int closes = 0;
  int inquiries = 0;
  int commands = 0;  // pass-through requests, delivered or failed
};

class FakePassThroughSystem final : public PassThroughSystem {
 public:
  // Makes `letter` a CD drive on (port, target, lun) backed by a new virtual
  // drive holding `disc` (none: an empty drive).
  FakeLetter& AddDrive(char letter,
                       BYTE port,
                       BYTE target,
                       BYTE lun,
                       std::shared_ptr<const virtual_drive::Disc> disc = nullptr);
  FakeLetter& Letter(char letter) { return letters_[Index(letter)]; }

  // The next pass-through requests to `letter` fail with these codes, one each.
  void FailNextCommands(char letter, std::vector<DWORD> errors);
  LetterCounts Counts(char letter) const;
  std::vector<DeviceAccess> OpenAttempts(char letter) const;
  int OpenDevices() const;

  SystemVersion version{2, 10};

  SystemVersion Version() override { return version; }
  DriveType TypeOfDrive(char letter) override { return Letter(letter).type; }
  Result<std::unique_ptr<ScsiDevice>> OpenDevice(char letter, DeviceAccess access) override;

 private:
  class Device;
  static int Index(char letter) { return letter - 'A'; }

  std::array<FakeLetter, 26> letters_{};
  mutable std::mutex mutex_;
  std::array<LetterCounts, 26> counts_{};                      // guarded by mutex_
  std::array<std::deque<DWORD>, 26> failures_{};               // guarded by mutex_
  std::array<std::vector<DeviceAccess>, 26> open_attempts_{};  // guarded by mutex_
};

}  // namespace vyn::testing
