// The two entry points of the ASPI interface, serving the virtual drives of
// VirtualBus on one host adapter. Execute requests complete later on a
// thread of the library (see CompletionQueue); the other requests complete
// before returning.
#include "platform/scsi/aspi.h"
#include "virtual/virtual_bus.h"
#include "virtual/virtual_control.h"

using vyn::virtual_drive::VirtualBus;

extern "C" VYN_VIRTUAL_EXPORT DWORD GetASPI32SupportInfo() {
  VirtualBus::Instance();  // reads the environment once, up front
  return DWORD{SS_COMP} << 8 | 1;
}

extern "C" VYN_VIRTUAL_EXPORT DWORD SendASPI32Command(void* request) {
  if (request == nullptr)
    return SS_ERR;
  VirtualBus& bus = VirtualBus::Instance();
  auto* header = static_cast<SRB_Header*>(request);
  switch (header->SRB_Cmd) {
    case SC_HA_INQUIRY:
      return bus.HostAdapterInquiry(*static_cast<SRB_HAInquiry*>(request));
    case SC_GET_DEV_TYPE:
      return bus.GetDeviceType(*static_cast<SRB_GDEVBlock*>(request));
    case SC_EXEC_SCSI_CMD:
      return bus.Execute(*static_cast<SRB_ExecSCSICmd*>(request));
    case SC_ABORT_SRB:
      return bus.Abort(*static_cast<SRB_Abort*>(request));
    default:
      return header->SRB_Status = SS_INVALID_CMD;
  }
}
