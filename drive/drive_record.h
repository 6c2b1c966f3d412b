// One CD drive found by the bus scan: its name and address, the transport
// every command for it goes through, and its table of contents.
//
// The control keeps the records in an array that is complete before the
// first Drive object exists and never changes size; drives and the worker
// hold plain pointers into it. Name and address never change after the
// scan; the table-of-contents fields belong to the drive's owner thread.
#pragma once

#include <string>

#include "drive/disc_toc.h"
#include "platform/win/types.h"

namespace vyn {

class ScsiTransport;

struct DriveRecord {
  TocReply toc_reply{};  // the last READ TOC reply
  std::string name;      // ANSI code page, from INQUIRY
  BYTE target = 0;
  BYTE host_adapter = 0;  // as the transport numbers adapters
  BYTE lun = 0;
  ScsiTransport* transport = nullptr;  // not owned
  DiscToc toc;
};

}  // namespace vyn
