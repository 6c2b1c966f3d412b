// The drive's IDiscLayout members: the stored table of contents entry by
// entry, and the disc's CDDB identifier and query line computed from it.
#include <cstdio>

#include "cddb/disc_id.h"
#include "drive/drive_object.h"
#include "platform/text/code_page.h"

namespace vyn {
namespace {

// The 0-based position of entry `number` (from 1), or nothing when the
// table has no such entry.
std::optional<int> EntryPosition(const DiscToc& toc, LONG number) {
  if (number < 1 || number > toc.entry_count)
    return std::nullopt;
  return static_cast<int>(number - 1);
}

// Reads one field of entry `number` into `out`.
template <class Field>
HRESULT ReadEntry(const Drive& drive, LONG number, LONG* out, Field field) {
  if (!out)
    return E_POINTER;
  auto toc = drive.Toc();
  if (!toc)
    return toc.code();
  auto position = EntryPosition(*toc, number);
  if (!position)
    return DISP_E_BADINDEX;
  *out = field(*toc, *position);
  return S_OK;
}

HRESULT ReturnText(std::string_view ansi, BSTR* out) {
  *out = Bstr(AnsiToWide(ansi)).Detach();
  return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

HRESULT Drive::get_EntryCount(LONG* count) {
  if (!count)
    return E_POINTER;
  auto toc = Toc();
  if (!toc)
    return toc.code();
  *count = toc->entry_count;
  return S_OK;
}

HRESULT Drive::EntryTrackNumber(LONG number, LONG* out) {
  return ReadEntry(*this, number, out,
                   [](const DiscToc& toc, int i) { return LONG{toc.track_number[i]}; });
}

HRESULT Drive::EntryAdrControl(LONG number, LONG* out) {
  return ReadEntry(*this, number, out,
                   [](const DiscToc& toc, int i) { return LONG{toc.adr_control[i]}; });
}

HRESULT Drive::EntryStartAddress(LONG number, LONG* out) {
  return ReadEntry(*this, number, out,
                   [](const DiscToc& toc, int i) { return LONG{toc.start_lba[i]}; });
}

HRESULT Drive::get_CddbDiscId(BSTR* disc_id) {
  if (!disc_id)
    return E_POINTER;
  *disc_id = nullptr;
  auto toc = Toc();
  if (!toc)
    return toc.code();
  char text[9];
  std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(CddbDiscId(*toc)));
  return ReturnText(text, disc_id);
}

HRESULT Drive::get_CddbQueryCommand(BSTR* command) {
  if (!command)
    return E_POINTER;
  *command = nullptr;
  auto toc = Toc();
  if (!toc)
    return toc.code();
  return ReturnText(CddbQueryCommand(*toc), command);
}

}  // namespace vyn
