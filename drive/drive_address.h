// Where one drive's commands go: the transport and the drive's address,
// copied out of its record. A command in flight works on this copy, so it
// never reads a record that its owner may free meanwhile.
//
// Immutable value type; Execute may be called from any thread while the
// transport is open.
#pragma once

#include <span>

#include "drive/drive_record.h"
#include "drive/scsi_transport.h"

namespace vyn {

struct DriveAddress {
  ScsiTransport* transport = nullptr;  // not owned
  BYTE host_adapter = 0;
  BYTE target = 0;
  BYTE lun = 0;

  static DriveAddress Of(const DriveRecord& record) {
    return {record.transport, record.host_adapter, record.target, record.lun};
  }

  // Runs one command and waits for it, as ScsiTransport::ExecuteCommand
  // does; SS_ABORTED when there is no transport.
  BYTE Execute(BYTE direction, std::span<const BYTE> cdb, BYTE* buffer, DWORD length) const {
    if (!transport)
      return SS_ABORTED;
    return transport->ExecuteCommand(host_adapter, target, lun, direction, cdb, buffer, length);
  }
};

}  // namespace vyn
