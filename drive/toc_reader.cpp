#include "drive/toc_reader.h"

#include "platform/scsi/mmc_commands.h"

namespace vyn {

static_assert(kTocReplyBytes == mmc::kTocReplyLength);

BYTE ReadTocReply(const DriveAddress& drive, TocReply* reply) {
  const auto command = mmc::ReadTocCommand(drive.lun);
  const BYTE status =
      drive.Execute(SRB_DIR_IN, command, reply->data(), static_cast<DWORD>(reply->size()));
  if (status == SS_ERR)
    reply->fill(0);
  return status;
}

}  // namespace vyn
