// The pass-through seam on Linux: letters C to Z stand for the SCSI CD
// devices /dev/sr0 to /dev/sr23. A letter is a CD drive when its node
// answers CDROM_GET_CAPABILITY; commands go through SG_IO, the address
// through SCSI_IOCTL_GET_IDLUN (the SCSI host number is the port).
//
// Thread-safe: keeps no state beyond the node prefix.
#pragma once

#include <string>

#include "platform/scsi/pass_through.h"

namespace vyn {

class LinuxPassThroughSystem final : public PassThroughSystem {
 public:
  // `node_prefix` + "0" is the node of drive C:.
  explicit LinuxPassThroughSystem(std::string node_prefix = "/dev/sr");

  SystemVersion Version() override;
  DriveType TypeOfDrive(char letter) override;
  Result<std::unique_ptr<ScsiDevice>> OpenDevice(char letter, DeviceAccess access) override;

  // The node that stands for `letter`, or empty for A: and B:.
  std::string NodeOfLetter(char letter) const;

 private:
  std::string node_prefix_;
};

}  // namespace vyn
