#include "drive/cddb_record_object.h"

#include "platform/com/bstr.h"

namespace vyn {

HRESULT CddbRecord::ReadField(DriveState::MatchField field, BSTR* out) const {
  if (!out)
    return E_POINTER;
  *out = nullptr;
  auto drive = drive_.lock();
  if (!drive)
    return CO_E_OBJNOTCONNECTED;
  auto text = drive->CddbMatchText(lookup_, index_, field);
  if (!text)
    return text.code();
  *out = SysAllocStringLen(text->data(), static_cast<UINT>(text->size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT CddbRecord::get_Description(BSTR* description) {
  return ReadField(DriveState::MatchField::kTitle, description);
}

HRESULT CddbRecord::get_RawData(BSTR* text) {
  return ReadField(DriveState::MatchField::kRawText, text);
}

HRESULT CddbRecord::SetActive() {
  auto drive = drive_.lock();
  if (!drive)
    return CO_E_OBJNOTCONNECTED;
  return drive->SetActiveCddbRecord(lookup_, index_).code();
}

}  // namespace vyn
