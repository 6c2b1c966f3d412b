#include "drive/drive_name.h"

#include <algorithm>

#include "platform/com/hresult.h"
#include "platform/text/code_page.h"

namespace vyn {
namespace {

constexpr std::size_t kVendorOffset = 8;
constexpr std::size_t kNameLength = 24;  // 8 bytes of vendor, 16 of product

}  // namespace

std::string DriveNameFromInquiry(std::span<const BYTE, kInquiryDataLength> inquiry) {
  auto field = inquiry.subspan(kVendorOffset, kNameLength);
  auto end = std::find(field.begin(), field.end(), BYTE{0});
  return std::string(field.begin(), end);
}

HRESULT DriveNameAsBstr(const DriveRecord& drive, BSTR* out) {
  if (!out)
    return E_POINTER;
  std::u16string wide = AnsiToWide(drive.name);
  *out = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace vyn
