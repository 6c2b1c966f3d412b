// A disc in the virtual drive library, reached the way the control reaches
// a drive: a ScsiTransport on the library, the bus scan, READ TOC. The test
// binary links the same library, so it can change the disc and inject
// jitter through the virtual drive's control functions.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drive/drive_scan.h"
#include "drive/scsi_transport.h"
#include "platform/scsi/mmc_commands.h"
#include "virtual/virtual_control.h"

namespace vyn::testing {

class VirtualDisc {
 public:
  // The library's path comes from the build (VYN_VIRTUAL_ASPI).
  explicit VirtualDisc(const std::string& description) : transport_({VYN_VIRTUAL_ASPI}) {
    EXPECT_EQ(VynVirtualConfigure(description.c_str()), 0);
    VynVirtualSetJitter(0, 0, 0);
    if (!transport_.Open()) {
      ADD_FAILURE() << "the virtual drive library did not load";
      return;
    }
    drives_ = ScanDrives(transport_, 1);
    if (drives_.size() != 1) {
      ADD_FAILURE() << "expected one virtual drive, found " << drives_.size();
      return;
    }
    DriveRecord& drive = drives_.front();
    const auto read_toc = mmc::ReadTocCommand(drive.lun);
    EXPECT_EQ(transport_.ExecuteCommand(drive, SRB_DIR_IN, read_toc, drive.toc_reply.data(),
                                        kTocReplyBytes),
              SS_COMP);
    drive.toc = ParseTocReply(drive.toc_reply);
  }
  ~VirtualDisc() {
    VynVirtualSetJitter(0, 0, 0);
    transport_.Close();
  }

  bool ok() const { return drives_.size() == 1 && drives_.front().toc.TrackCount() > 0; }
  DriveRecord& drive() { return drives_.front(); }

 private:
  ScsiTransport transport_;
  std::vector<DriveRecord> drives_;
};

}  // namespace vyn::testing
