#include "drive/track_object.h"

#include "cddb/filename_template.h"
#include "control/class_ids.h"
#include "control/error_reporting.h"
#include "drive/disc_toc.h"
#include "drive/drive_state.h"

namespace vyn {
namespace {

// A failure with a text becomes the automation error of the Drive class.
HRESULT Fail(const Error& error) {
  if (error.code == DISP_E_EXCEPTION)
    return ReportError(CLSID_Drive, error.message);
  return error.code;
}

}  // namespace

Result<DiscToc> Track::CurrentTable() const {
  auto drive = drive_.lock();
  if (!drive)
    return Error{CO_E_OBJNOTCONNECTED, "the drive is gone"};
  auto toc = drive->Toc();
  if (!toc)
    return toc;
  if (index_ >= toc->entry_count - 1)
    return Error{DISP_E_EXCEPTION, MessageText(Message::kNoSuchTrack)};
  return toc;
}

HRESULT Track::get_Duration(LONG* seconds) {
  if (!seconds)
    return E_POINTER;
  auto toc = CurrentTable();
  if (!toc)
    return Fail(toc.error());
  *seconds = static_cast<LONG>(TrackDurationSeconds(*toc, index_ + 1));
  return S_OK;
}

HRESULT Track::get_Size(LONG* bytes) {
  if (!bytes)
    return E_POINTER;
  auto toc = CurrentTable();
  if (!toc)
    return Fail(toc.error());
  *bytes = TrackSizeBytes(*toc, index_ + 1);
  return S_OK;
}

HRESULT Track::get_IsAudio(VARIANT_BOOL* value) {
  if (!value)
    return E_POINTER;
  auto toc = CurrentTable();
  if (!toc)
    return Fail(toc.error());
  *value = IsAudioEntry(*toc, index_) ? 1 : 0;
  return S_OK;
}

HRESULT Track::GenerateFilename(BSTR szTemplate, BSTR* szFilename) {
  if (!szFilename)
    return E_POINTER;
  *szFilename = nullptr;
  auto drive = drive_.lock();
  if (!drive)
    return CO_E_OBJNOTCONNECTED;
  auto text = drive->FilenameRecordText();
  if (!text)
    return text.code();
  std::optional<std::u16string_view> active_text;
  if (*text)
    active_text = **text;
  const std::u16string_view name_template =
      szTemplate ? std::u16string_view(szTemplate, SysStringLen(szTemplate)) : u"";
  auto name = vyn::GenerateFilename(active_text, index_, name_template);
  if (!name) {
    if (name.code() == DISP_E_EXCEPTION)
      return ReportError(CLSID_Track, name.error().message);
    return name.code();
  }
  *szFilename = SysAllocStringLen(name->data(), static_cast<UINT>(name->size()));
  return *szFilename ? S_OK : E_OUTOFMEMORY;
}

}  // namespace vyn
