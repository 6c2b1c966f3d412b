// Finding the CD drives behind a transport: every LUN of every target of
// every host adapter is asked for its device type, and each CD-ROM or
// write-once device is named from its INQUIRY data. Runs once, on the
// control's startup thread, before any drive object exists.
#pragma once

#include <optional>
#include <vector>

#include "drive/drive_record.h"
#include "drive/scsi_transport.h"

namespace vyn {

// How long one device-type query may stay pending before it is given up.
inline constexpr DWORD kDeviceTypeWaitMs = 10000;

// The host-adapter count of a support-information answer, or nothing when
// the answer's status (bits 8–15) is not SS_COMP.
std::optional<BYTE> AcceptedAdapterCount(DWORD support_info);

// The device type at the address, waiting for a pending answer by yielding
// for up to kDeviceTypeWaitMs; the type byte whatever the outcome.
BYTE QueryDeviceType(ScsiTransport& transport, BYTE adapter, BYTE target, BYTE lun);

// The drives on adapters 0 to `adapter_count` − 1, ordered by adapter,
// target and LUN.
std::vector<DriveRecord> ScanDrives(ScsiTransport& transport, BYTE adapter_count);

}  // namespace vyn
