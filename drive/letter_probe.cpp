#include "drive/letter_probe.h"

#include "drive/device_access_rule.h"
#include "platform/win/last_error.h"

namespace vyn {

const LogicalUnitInquiry* FirstReportedUnit(const DeviceInquiry& inquiry) {
  for (const BusInquiry& bus : inquiry) {
    if (!bus.empty())
      return &bus.front();
  }
  return nullptr;
}

LetterProbe ProbeLetter(PassThroughSystem& system, int letter_index) {
  LetterProbe probe;
  char letter = static_cast<char>('A' + letter_index);
  auto device = OpenDriveDevice(system, letter);
  if (!device.ok())
    return probe;
  // The device is closed when `device` goes, on every path below.
  auto inquiry = (*device)->Inquire();
  const LogicalUnitInquiry* unit = inquiry.ok() ? FirstReportedUnit(*inquiry) : nullptr;
  if (!unit) {
    probe.outcome = ProbeOutcome::kInquiryFailed;
    return probe;
  }
  probe.outcome = ProbeOutcome::kAddressed;
  probe.inquiry = unit->data;
  auto address = (*device)->QueryAddress();
  if (address.ok()) {
    probe.valid = true;
    probe.port = address->port;
    probe.target = address->target_id;
    probe.lun = address->lun;
  } else if (SystemErrorCode(address.error()) == ERROR_NOT_SUPPORTED) {
    // A drive without an address becomes an adapter of its own.
    probe.valid = true;
    probe.port = static_cast<BYTE>(letter_index);
  }
  return probe;
}

}  // namespace vyn
