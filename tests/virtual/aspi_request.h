// Builds and sends ASPI execute requests to the library as the control's
// transport does, and waits for their completion event with a deadline.
// Test-thread only (one object per request).
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/scsi/aspi.h"
#include "platform/scsi/mmc_commands.h"
#include "platform/win/event.h"

extern "C" DWORD SendASPI32Command(void* request);

namespace vyn::virtual_drive {

inline constexpr DWORD kCompletionDeadlineMs = 10000;

class AspiRequest {
 public:
  AspiRequest(BYTE target,
              const std::vector<BYTE>& cdb,
              std::size_t buffer_bytes,
              BYTE flags = SRB_DIR_IN)
      : buffer_(buffer_bytes, 0xEE) {
    std::memset(&srb_, 0, sizeof srb_);
    srb_.SRB_Cmd = SC_EXEC_SCSI_CMD;
    srb_.SRB_Target = target;
    srb_.SRB_Flags = flags | SRB_EVENT_NOTIFY;
    srb_.SRB_BufLen = static_cast<DWORD>(buffer_.size());
    srb_.SRB_BufPointer = buffer_.empty() ? nullptr : buffer_.data();
    srb_.SRB_SenseLen = SENSE_LEN;
    srb_.SRB_CDBLen = static_cast<BYTE>(cdb.size());
    srb_.SRB_PostProc = done_.handle();
    std::memcpy(srb_.CDBByte, cdb.data(), cdb.size());
  }

  BYTE Send() { return static_cast<BYTE>(SendASPI32Command(&srb_)); }
  // Waits for the completion event; false when the deadline passes first.
  bool WaitDone(DWORD ms = kCompletionDeadlineMs) const { return done_.Wait(ms); }
  bool done() const { return done_.IsSet(); }
  // Sends and waits; the final status, or 0xFF when it never completed.
  BYTE Run() {
    const BYTE status = Send();
    if (status != SS_PENDING)
      return status;
    if (!WaitDone()) {
      ADD_FAILURE() << "request not completed within the deadline";
      return 0xFF;
    }
    return srb_.SRB_Status;
  }

  SRB_ExecSCSICmd& srb() { return srb_; }
  const std::vector<BYTE>& buffer() const { return buffer_; }

 private:
  std::vector<BYTE> buffer_;
  Event done_{EventReset::kManual};
  SRB_ExecSCSICmd srb_;
};

inline std::vector<BYTE> ReadCdBlock(std::int32_t lba, std::uint32_t count) {
  auto block = mmc::ReadCdCommand(0, lba, static_cast<std::uint16_t>(count));
  return {block.begin(), block.end()};
}

inline const std::vector<BYTE> kTestUnitReadyBlock(6, 0);
inline const std::vector<BYTE> kReadTocBlock = {0x43, 0, 0, 0, 0, 0, 1, 0x08, 0x00, 0};

}  // namespace vyn::virtual_drive
