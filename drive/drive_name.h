// A drive's name: the vendor and product fields of its INQUIRY data as the
// drive reports them, and the name as the automation surface hands it out.
#pragma once

#include <span>
#include <string>

#include "drive/drive_record.h"
#include "platform/com/bstr.h"
#include "platform/scsi/pass_through.h"

namespace vyn {

// Bytes 8 to 31 of the INQUIRY data (vendor, then product, with their
// filler spaces), up to the first zero byte.
std::string DriveNameFromInquiry(std::span<const BYTE, kInquiryDataLength> inquiry);

// The record's name as a new BSTR (IDrive.Name): E_POINTER for a null out
// pointer, E_OUTOFMEMORY when it cannot be allocated.
HRESULT DriveNameAsBstr(const DriveRecord& drive, BSTR* out);

}  // namespace vyn
