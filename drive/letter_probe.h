// Looking at one drive letter the way the letter scan does: open its
// device, take the drive's INQUIRY data and ask for its address, then close
// the device again. Used by the scan and to refresh one letter after its
// medium changed.
#pragma once

#include "platform/scsi/pass_through.h"

namespace vyn {

enum class ProbeOutcome {
  kOpenFailed,     // the device could not be opened
  kInquiryFailed,  // opened, but reported no logical unit
  kAddressed,      // inquiry taken; `valid` says whether an address was found
};

struct LetterProbe {
  ProbeOutcome outcome = ProbeOutcome::kOpenFailed;
  InquiryData inquiry{};
  bool valid = false;
  BYTE port = 0;
  BYTE target = 0;
  BYTE lun = 0;
};

// `letter_index` is 2 (C:) to 25 (Z:).
LetterProbe ProbeLetter(PassThroughSystem& system, int letter_index);

// The INQUIRY data of the unit a device stands for: the first unit of the
// first bus that reports one, or null when no bus reports a unit.
const LogicalUnitInquiry* FirstReportedUnit(const DeviceInquiry& inquiry);

}  // namespace vyn
