#include "drive/drive_scan.h"
#include "platform/scsi/mmc_commands.h"

#include "drive/drive_name.h"
#include "drive/request_status.h"
#include "platform/win/clock.h"

namespace vyn {
namespace {

constexpr BYTE kTargets = 8;
constexpr BYTE kLuns = 8;
std::string InquireName(DriveRecord& record) {
  InquiryData data{};
  const auto cdb = mmc::InquiryCommand(record.lun);
  // Whatever the outcome, the buffer holds the name or stays zero.
  (void)record.transport->ExecuteCommand(record, SRB_DIR_IN, cdb, data.data(),
                                         static_cast<DWORD>(data.size()));
  return DriveNameFromInquiry(data);
}

}  // namespace

std::optional<BYTE> AcceptedAdapterCount(DWORD support_info) {
  if (((support_info >> 8) & 0xFF) != SS_COMP)
    return std::nullopt;
  return static_cast<BYTE>(support_info & 0xFF);
}

BYTE QueryDeviceType(ScsiTransport& transport, BYTE adapter, BYTE target, BYTE lun) {
  SRB_GDEVBlock request{};
  request.SRB_Cmd = SC_GET_DEV_TYPE;
  request.SRB_HaId = adapter;
  request.SRB_Target = target;
  request.SRB_Lun = lun;
  DWORD submitted = GetTickCount();
  transport.SubmitRequest(&request);
  while (LoadRequestStatus(request.SRB_Status) == SS_PENDING &&
         GetTickCount() - submitted < kDeviceTypeWaitMs) {
    Sleep(0);
  }
  return std::atomic_ref<BYTE>(request.SRB_DeviceType).load(std::memory_order_acquire);
}

std::vector<DriveRecord> ScanDrives(ScsiTransport& transport, BYTE adapter_count) {
  std::vector<DriveRecord> drives;
  for (BYTE adapter = 0; adapter < adapter_count; ++adapter) {
    for (BYTE target = 0; target < kTargets; ++target) {
      for (BYTE lun = 0; lun < kLuns; ++lun) {
        BYTE type = QueryDeviceType(transport, adapter, target, lun);
        if (type != DTYPE_CDROM && type != DTYPE_WORM)
          continue;
        DriveRecord& record = drives.emplace_back();
        record.host_adapter = adapter;
        record.target = target;
        record.lun = lun;
        record.transport = &transport;
        record.name = InquireName(record);
      }
    }
  }
  return drives;
}

}  // namespace vyn
