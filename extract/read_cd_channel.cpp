#include "extract/read_cd_channel.h"

#include "drive/scsi_transport.h"
#include "platform/scsi/aspi.h"

namespace vyn {
namespace {

class TransportChannel final : public ReadCdChannel {
 public:
  BYTE Execute(const DriveRecord& drive,
               std::span<const BYTE> cdb,
               BYTE* buffer,
               DWORD length) override {
    if (drive.transport == nullptr)
      return SS_ABORTED;
    return drive.transport->ExecuteCommand(drive, SRB_DIR_IN, cdb, buffer, length);
  }
};

}  // namespace

ReadCdChannel& TransportReadCdChannel() {
  static TransportChannel channel;
  return channel;
}

}  // namespace vyn
