#include "drive/pass_through_emulation.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "drive/device_access_rule.h"
#include "drive/letter_probe.h"
#include "drive/request_status.h"
#include "platform/win/last_error.h"

namespace vyn {
namespace {

constexpr int kFirstLetter = 2;  // C:
constexpr int kLetterCount = 26;
constexpr BYTE kInquiryOpcode = 0x12;
constexpr DWORD kPassThroughTimeoutSeconds = 15;

BYTE Complete(BYTE& status_field, BYTE status) {
  StoreRequestStatus(status_field, status);
  return status;
}

DataDirection DirectionOfFlags(BYTE flags) {
  if (flags & SRB_DIR_IN)
    return DataDirection::kIn;
  if (flags & SRB_DIR_OUT)
    return DataDirection::kOut;
  return DataDirection::kUnspecified;
}

}  // namespace

PassThroughEmulation::PassThroughEmulation(PassThroughSystem& system) : system_(system) {}

int PassThroughEmulation::ScanLetters() {
  {
    std::lock_guard lock(mutex_);
    if (scanned_)
      return 0;
  }
  std::array<DriveLetterEntry, kLetterCount> letters{};
  for (int index = kFirstLetter; index < kLetterCount; ++index) {
    if (system_.TypeOfDrive(static_cast<char>('A' + index)) != DriveType::kCdRom)
      continue;
    LetterProbe probe = ProbeLetter(system_, index);
    if (probe.outcome != ProbeOutcome::kAddressed)
      continue;
    DriveLetterEntry& entry = letters[index];
    entry.inquiry = probe.inquiry;
    entry.valid = probe.valid;
    if (!probe.valid)
      continue;
    entry.port = probe.port;
    entry.target = probe.target;
    entry.lun = probe.lun;
    entry.letter_index = static_cast<BYTE>(index);
  }
  std::set<DWORD> ports;
  int found = 0;
  for (const DriveLetterEntry& entry : letters) {
    if (!entry.valid)
      continue;
    ports.insert(entry.port);
    ++found;
  }
  std::lock_guard lock(mutex_);
  letters_ = std::move(letters);
  adapter_map_.assign(ports.begin(), ports.end());
  scanned_ = true;
  return found;
}

DWORD PassThroughEmulation::GetSupportInfo() const {
  std::lock_guard lock(mutex_);
  if (adapter_map_.empty())
    return DWORD{SS_NO_ADAPTERS} << 8;
  return (DWORD{SS_COMP} << 8) | static_cast<BYTE>(adapter_map_.size());
}

BYTE PassThroughEmulation::Submit(void* request) {
  auto* header = static_cast<SRB_Header*>(request);
  BYTE port = PortOfAdapter(header->SRB_HaId);
  switch (header->SRB_Cmd) {
    case SC_GET_DEV_TYPE: {
      auto& block = *static_cast<SRB_GDEVBlock*>(request);
      std::optional<int> found;
      {
        std::lock_guard lock(mutex_);
        found = FindEntry(port, block.SRB_Target, block.SRB_Lun);
      }
      block.SRB_DeviceType = found ? DTYPE_CDROM : DTYPE_UNKNOWN;
      return Complete(block.SRB_Status, found ? SS_COMP : SS_NO_DEVICE);
    }
    case SC_EXEC_SCSI_CMD:
      return Execute(*static_cast<SRB_ExecSCSICmd*>(request), port, Attempt::kFirst);
    default:
      return Complete(header->SRB_Status, SS_ERR);
  }
}

void PassThroughEmulation::Close() {
  std::array<DriveLetterEntry, kLetterCount> closing{};
  {
    std::lock_guard lock(mutex_);
    std::swap(closing, letters_);
    adapter_map_.clear();
    scanned_ = false;
  }
  // The devices close here, outside the lock.
}

BYTE PassThroughEmulation::PortOfAdapter(BYTE adapter) const {
  std::lock_guard lock(mutex_);
  return adapter < adapter_map_.size() ? static_cast<BYTE>(adapter_map_[adapter]) : 0;
}

std::optional<int> PassThroughEmulation::FindEntry(BYTE port, BYTE target, BYTE lun) const {
  for (int index = kFirstLetter; index < kLetterCount; ++index) {
    const DriveLetterEntry& entry = letters_[index];
    if (entry.valid && entry.port == port && entry.target == target && entry.lun == lun) {
      return index;
    }
  }
  return std::nullopt;
}

// The block's adapter is translated once by the caller; a retry looks the
// drive up by the same port rather than translating the port a second time.
BYTE PassThroughEmulation::Execute(SRB_ExecSCSICmd& block, BYTE port, Attempt attempt) {
  std::shared_ptr<ScsiDevice> device;
  int letter_index = 0;
  {
    std::lock_guard lock(mutex_);
    std::optional<int> found = FindEntry(port, block.SRB_Target, block.SRB_Lun);
    if (!found)
      return Complete(block.SRB_Status, SS_ERR);
    letter_index = *found;
    DriveLetterEntry& entry = letters_[letter_index];
    if (block.SRB_CDBLen > 0 && block.CDBByte[0] == kInquiryOpcode) {
      // Never more than the caller's buffer holds.
      std::size_t length = std::min<std::size_t>(entry.inquiry.size(), block.SRB_BufLen);
      if (block.SRB_BufPointer)
        std::memcpy(block.SRB_BufPointer, entry.inquiry.data(), length);
      return Complete(block.SRB_Status, SS_COMP);
    }
    if (!entry.device) {
      auto opened = OpenDriveDevice(system_, static_cast<char>('A' + letter_index));
      if (opened.ok())
        entry.device = std::move(opened.value());
    }
    device = entry.device;
  }

  PassThroughCommand command;
  command.cdb = std::span<const BYTE>(block.CDBByte, std::min<std::size_t>(block.SRB_CDBLen, 16));
  command.direction = DirectionOfFlags(block.SRB_Flags);
  command.data = std::span<BYTE>(block.SRB_BufPointer, block.SRB_BufPointer ? block.SRB_BufLen : 0);
  command.timeout_seconds = kPassThroughTimeoutSeconds;
  auto reply = device ? device->PassThrough(command)
                      : Result<PassThroughReply>(SystemError(ERROR_INVALID_HANDLE));

  if (reply.ok()) {
    std::size_t sense =
        std::min<std::size_t>({reply->sense_length, block.SRB_SenseLen, sizeof block.SenseArea});
    std::memcpy(block.SenseArea, reply->sense.data(), sense);
    block.SRB_TargStat = reply->scsi_status;
    // A drive that refuses the command says so (a missing disc, for one).
    return Complete(block.SRB_Status, reply->scsi_status == kScsiStatusGood ? SS_COMP : SS_ERR);
  }
  DWORD error = SystemErrorCode(reply.error());
  if (error == ERROR_MEDIA_CHANGED) {
    std::lock_guard lock(mutex_);
    DriveLetterEntry& entry = letters_[letter_index];
    if (entry.device == device)
      entry.device.reset();
  }
  if ((error == ERROR_MEDIA_CHANGED || error == ERROR_INVALID_HANDLE) &&
      attempt == Attempt::kFirst) {
    device.reset();
    ProbeAgain(letter_index);
    return Execute(block, port, Attempt::kRetry);
  }
  return Complete(block.SRB_Status, SS_ERR);
}

void PassThroughEmulation::ProbeAgain(int letter_index) {
  // The probe talks to the device, so it runs outside the lock and its
  // findings are written afterwards.
  LetterProbe probe = ProbeLetter(system_, letter_index);
  if (probe.outcome != ProbeOutcome::kAddressed)
    return;
  std::shared_ptr<ScsiDevice> dropped;
  std::lock_guard lock(mutex_);
  DriveLetterEntry& entry = letters_[letter_index];
  entry.inquiry = probe.inquiry;
  entry.valid = probe.valid;
  // The command about to be retried opens the device afresh; an entry that
  // lost its address keeps no device either, so nothing stays open unseen.
  dropped = std::move(entry.device);
  if (!probe.valid)
    return;
  entry.port = probe.port;
  entry.target = probe.target;
  entry.lun = probe.lun;
  entry.letter_index = static_cast<BYTE>(letter_index);
}

}  // namespace vyn
