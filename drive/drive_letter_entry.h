// What the pass-through back-end knows about one drive letter: the address
// the system reports for its drive, the drive's INQUIRY data as found by
// the letter scan, and the device, opened on first use and kept open
// between commands.
//
// Plain data; PassThroughEmulation guards every entry with its mutex.
#pragma once

#include <memory>

#include "platform/scsi/pass_through.h"

namespace vyn {

struct DriveLetterEntry {
  BYTE port = 0;
  BYTE target = 0;
  BYTE lun = 0;
  BYTE letter_index = 0;  // 0 = A … 25 = Z
  bool valid = false;     // describes a usable CD drive
  // Null while not open. Shared so that a command in flight keeps the
  // device alive while another thread closes the entry's reference to it.
  std::shared_ptr<ScsiDevice> device;
  InquiryData inquiry{};
};

}  // namespace vyn
