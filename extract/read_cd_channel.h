// Where the sector reader's READ CD commands go: the drive's command
// transport in the control, a scripted drive in tests that check the
// command bytes and counts. Thread-safe as the transport is.
#pragma once

#include <span>

#include "drive/drive_record.h"
#include "platform/win/types.h"

namespace vyn {

class ReadCdChannel {
 public:
  virtual ~ReadCdChannel() = default;
  // Runs one data-in command block against `drive` into `buffer`
  // (`length` bytes); the request status (SS_COMP, SS_ERR, SS_ABORTED).
  virtual BYTE Execute(const DriveRecord& drive,
                       std::span<const BYTE> cdb,
                       BYTE* buffer,
                       DWORD length) = 0;
};

// Through the drive record's ScsiTransport (ExecuteCommand, which waits up
// to its command time-out).
ReadCdChannel& TransportReadCdChannel();

}  // namespace vyn
