#include "tests/drive/fake_pass_through_system.h"

#include <algorithm>

#include "platform/win/last_error.h"

namespace vyn::testing {

class FakePassThroughSystem::Device final : public ScsiDevice {
 public:
  Device(FakePassThroughSystem& system, char letter) : system_(system), letter_(letter) {}
  ~Device() override {
    std::lock_guard lock(system_.mutex_);
    ++system_.counts_[Index(letter_)].closes;
  }

  Result<DeviceInquiry> Inquire() override {
    const FakeLetter& config = system_.Letter(letter_);
    {
      std::lock_guard lock(system_.mutex_);
      ++system_.counts_[Index(letter_)].inquiries;
    }
    if (config.inquiry_error)
      return SystemError(config.inquiry_error);
    if (config.inquiry)
      return *config.inquiry;
    LogicalUnitInquiry unit{0, config.address.target_id, config.address.lun, {}};
    const BYTE cdb[6] = {0x12, 0, 0, 0, static_cast<BYTE>(kInquiryDataLength), 0};
    config.drive->Execute(cdb, unit.data);
    return DeviceInquiry{BusInquiry{unit}};
  }

  Result<ScsiAddress> QueryAddress() override {
    const FakeLetter& config = system_.Letter(letter_);
    if (config.address_error)
      return SystemError(config.address_error);
    return config.address;
  }

  Result<PassThroughReply> PassThrough(const PassThroughCommand& command) override {
    {
      std::lock_guard lock(system_.mutex_);
      int index = Index(letter_);
      ++system_.counts_[index].commands;
      auto& failures = system_.failures_[index];
      if (!failures.empty()) {
        DWORD error = failures.front();
        failures.pop_front();
        return SystemError(error);
      }
    }
    auto outcome = system_.Letter(letter_).drive->Execute(command.cdb, command.data);
    PassThroughReply reply;
    reply.scsi_status = outcome.status;
    if (!outcome.good()) {
      outcome.FillSense(reply.sense);
      reply.sense_length = reply.sense.size();
    }
    return reply;
  }

 private:
  FakePassThroughSystem& system_;
  const char letter_;
};

FakeLetter& FakePassThroughSystem::AddDrive(char letter,
                                            BYTE port,
                                            BYTE target,
                                            BYTE lun,
                                            std::shared_ptr<const virtual_drive::Disc> disc) {
  FakeLetter& config = Letter(letter);
  config.type = DriveType::kCdRom;
  config.address = {port, 0, target, lun};
  config.drive = std::make_shared<virtual_drive::MmcDevice>(Index(letter), std::move(disc));
  return config;
}

void FakePassThroughSystem::FailNextCommands(char letter, std::vector<DWORD> errors) {
  std::lock_guard lock(mutex_);
  auto& failures = failures_[Index(letter)];
  failures.insert(failures.end(), errors.begin(), errors.end());
}

LetterCounts FakePassThroughSystem::Counts(char letter) const {
  std::lock_guard lock(mutex_);
  return counts_[Index(letter)];
}

std::vector<DeviceAccess> FakePassThroughSystem::OpenAttempts(char letter) const {
  std::lock_guard lock(mutex_);
  return open_attempts_[Index(letter)];
}

int FakePassThroughSystem::OpenDevices() const {
  std::lock_guard lock(mutex_);
  int open = 0;
  for (const LetterCounts& counts : counts_)
    open += counts.opens - counts.closes;
  return open;
}

Result<std::unique_ptr<ScsiDevice>> FakePassThroughSystem::OpenDevice(char letter,
                                                                      DeviceAccess access) {
  const FakeLetter& config = Letter(letter);
  std::lock_guard lock(mutex_);
  open_attempts_[Index(letter)].push_back(access);
  if (config.type != DriveType::kCdRom || !config.drive)
    return SystemError(ERROR_FILE_NOT_FOUND);
  if (config.open_error)
    return SystemError(config.open_error);
  if (config.read_only && (access.desired & kGenericWrite))
    return SystemError(ERROR_ACCESS_DENIED);
  ++counts_[Index(letter)].opens;
  return std::unique_ptr<ScsiDevice>(std::make_unique<Device>(*this, letter));
}

}  // namespace vyn::testing
