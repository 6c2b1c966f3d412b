// How the pass-through back-end opens a drive's device: read-write and
// shared read-write on systems that allow it (the NT platform above major
// version 4), read-only otherwise; when that open fails, once more with the
// write access and write sharing both toggled.
#pragma once

#include <memory>

#include "platform/scsi/pass_through.h"

namespace vyn {

// The access the rule tries first on a system of `version`.
DeviceAccess PreferredDeviceAccess(SystemVersion version);

Result<std::unique_ptr<ScsiDevice>> OpenDriveDevice(PassThroughSystem& system, char letter);

}  // namespace vyn
