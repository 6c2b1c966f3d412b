// The drive's CDDB lookup behind LoadCDDBData: one query for the disc, one
// read per match in order, one CddbRecord per match read, the first one
// active.
//
// Runs on the host's thread and blocks it for the whole exchange. The
// network is used without the drive's lock; the results are switched in
// under it in one step (see DriveState::FinishCddbLookup for a disc change
// that comes in between). On a failure the records of the matches read
// before it stay, and the failure's text comes back for the drive to
// report.
#pragma once

#include <memory>

#include "cddb/cddb_exchange.h"
#include "drive/drive_state.h"
#include "platform/com/result.h"

namespace vyn {

Result<void> LoadCddbRecords(const std::shared_ptr<DriveState>& drive,
                             const CddbExchangeOptions& options = {});

}  // namespace vyn
