// Reading a drive's table of contents: one READ TOC into a reply buffer
// that the caller has pre-filled with the stored reply, so that a command
// which is not carried out never looks like a different disc.
//
// Thread-safe: works only on its arguments.
#pragma once

#include "drive/disc_toc.h"
#include "drive/drive_address.h"

namespace vyn {

// Sends READ TOC (format 0, addresses as LBA, from track 1, 2048 bytes)
// into `reply` and returns the command's status. On SS_COMP `reply` holds
// what the drive sent; on SS_ERR (no disc, tray open, not ready) it becomes
// all zeros; otherwise (not carried out, timed out) it keeps its contents.
BYTE ReadTocReply(const DriveAddress& drive, TocReply* reply);

}  // namespace vyn
