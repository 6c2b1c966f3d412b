// The operating system's side of SCSI pass-through on drive letters: which
// letters are CD drives, opening a drive's device, and the three requests a
// device answers (what the drive reports about itself, its address, and one
// command block passed through to it). The control's pass-through back-end
// talks to drives only through this seam; LinuxPassThroughSystem is the real
// one, tests pass a fake.
//
// Failures are system error codes in the desktop numbering (6 invalid
// handle, 50 not supported, 1110 medium changed, …), carried as
// HRESULT_FROM_WIN32 in a Result; SystemErrorCode() gives the number back.
// Routine interruptions (EINTR) are retried inside the seam.
//
// Thread-safe: a system and its devices may be used from several threads;
// each device request is one self-contained operation.
#pragma once

#include <array>
#include <memory>
#include <span>
#include <vector>

#include "platform/com/result.h"
#include "platform/win/types.h"

namespace vyn {

// Access bits of a device open, in the desktop numbering.
inline constexpr DWORD kGenericRead = 0x80000000;
inline constexpr DWORD kGenericWrite = 0x40000000;
inline constexpr DWORD kFileShareRead = 0x00000001;
inline constexpr DWORD kFileShareWrite = 0x00000002;

struct DeviceAccess {
  DWORD desired = kGenericRead;
  DWORD share = kFileShareRead;
};

enum class DriveType { kOther, kCdRom };

struct SystemVersion {
  DWORD platform_id = 0;  // 2: the NT platform
  DWORD major = 0;
};

inline constexpr std::size_t kInquiryDataLength = 36;
using InquiryData = std::array<BYTE, kInquiryDataLength>;

// One logical unit as the device reports it; `data` is its standard INQUIRY
// data (the first 36 bytes).
struct LogicalUnitInquiry {
  BYTE path_id = 0;
  BYTE target_id = 0;
  BYTE lun = 0;
  InquiryData data{};
};

// The units the device reports, grouped by bus, in the order reported.
using BusInquiry = std::vector<LogicalUnitInquiry>;
using DeviceInquiry = std::vector<BusInquiry>;

struct ScsiAddress {
  BYTE port = 0;  // the host adapter the drive hangs on
  BYTE path_id = 0;
  BYTE target_id = 0;
  BYTE lun = 0;
};

enum class DataDirection { kIn, kOut, kUnspecified };

struct PassThroughCommand {
  std::span<const BYTE> cdb;  // 1 to 16 bytes
  DataDirection direction = DataDirection::kUnspecified;
  std::span<BYTE> data;  // the caller's buffer, used in place
  DWORD timeout_seconds = 15;
};

inline constexpr BYTE kScsiStatusGood = 0x00;
inline constexpr BYTE kScsiStatusCheckCondition = 0x02;

// A command the device carried out; the drive may still have refused it
// (`scsi_status` other than GOOD, with its sense data).
struct PassThroughReply {
  BYTE scsi_status = kScsiStatusGood;
  std::array<BYTE, 18> sense{};
  std::size_t sense_length = 0;
};

// An open drive device; closed when destroyed.
class ScsiDevice {
 public:
  virtual ~ScsiDevice() = default;
  virtual Result<DeviceInquiry> Inquire() = 0;
  // Fails with ERROR_NOT_SUPPORTED when the device has no address to give.
  virtual Result<ScsiAddress> QueryAddress() = 0;
  // Fails when the command could not be delivered; ERROR_MEDIA_CHANGED when
  // the drive reports that its medium may have changed since the last one.
  virtual Result<PassThroughReply> PassThrough(const PassThroughCommand& command) = 0;
};

class PassThroughSystem {
 public:
  virtual ~PassThroughSystem() = default;
  virtual SystemVersion Version() = 0;
  // `letter` is 'A' to 'Z'.
  virtual DriveType TypeOfDrive(char letter) = 0;
  virtual Result<std::unique_ptr<ScsiDevice>> OpenDevice(char letter, DeviceAccess access) = 0;
};

// The error of a failed Result from this seam as a system error code.
inline Error SystemError(DWORD code) {
  return Error{HRESULT_FROM_WIN32(code), {}};
}
inline DWORD SystemErrorCode(const Error& error) {
  return HRESULT_FACILITY(error.code) == FACILITY_WIN32
             ? static_cast<DWORD>(HRESULT_CODE(error.code))
             : static_cast<DWORD>(error.code);
}

}  // namespace vyn
