#include "drive/drive_object.h"

#include "control/class_ids.h"
#include "control/error_reporting.h"
#include "drive/cddb_lookup.h"
#include "drive/disc_poller.h"
#include "drive/drive_commands.h"
#include "drive/drive_state.h"

namespace vyn {
namespace {

// A collection's answer as GetTrackNumber and GetTrack pass it on: failures
// unchanged, any success as S_OK.
HRESULT SuccessAsOk(HRESULT result) {
  return FAILED(result) ? result : S_OK;
}

}  // namespace

Result<ComPtr<Drive>> Drive::Create(DriveOwner* owner, DriveRecord* record) {
  auto state = DriveState::Create(owner, record);
  if (!state)
    return state.error();
  auto poller = DiscPoller::Start(*state);
  if (!poller) {
    (*state)->Shutdown();
    return poller.error();
  }
  auto drive = ComObject::Create(*state, std::move(*poller));
  if (!drive) {
    (*state)->Shutdown();
    return Error{E_OUTOFMEMORY, "cannot make a drive"};
  }
  if (auto refreshed = drive->state_->Refresh(); !refreshed) {
    drive->Shutdown();
    return refreshed.error();
  }
  return drive;
}

Drive::Drive(std::shared_ptr<DriveState> state, std::unique_ptr<DiscPoller> poller)
    : state_(std::move(state)), poller_(std::move(poller)) {}

Drive::~Drive() {
  Shutdown();
}

void Drive::Shutdown() {
  if (poller_) {
    poller_->Stop();
    poller_.reset();
  }
  state_->Shutdown();
}

Result<DiscToc> Drive::Toc() const {
  return state_->Toc();
}

HRESULT Drive::get_Name(BSTR* name) {
  if (!name)
    return E_POINTER;
  return state_->NameAsBstr(name);
}

HRESULT Drive::get_Tracks(ITracksCollection** tracks) {
  if (!tracks)
    return E_POINTER;
  *tracks = nullptr;
  return state_->GetTracks(tracks);
}

HRESULT Drive::Refresh() {
  return state_->Refresh().code();
}

HRESULT Drive::get_HasAudioCD(VARIANT_BOOL* value) {
  if (!value)
    return E_POINTER;
  auto toc = state_->Toc();
  if (!toc)
    return toc.code();
  *value = HasAudioTrack(*toc) ? 1 : 0;
  return S_OK;
}

HRESULT Drive::GetTrackNumber(LONG* count) {
  if (!count)
    return E_POINTER;
  return SuccessAsOk(state_->GetTrackCount(count));
}

HRESULT Drive::GetTrack(LONG dwNumber, ITrack** track) {
  if (!track)
    return E_POINTER;
  *track = nullptr;
  return SuccessAsOk(state_->GetTrack(dwNumber, track));
}

// The records' own behaviour (Item, Count) is the collection's.
HRESULT Drive::get_CDDBRecords(ICDDBRecordsCollection** records) {
  if (!records)
    return E_POINTER;
  *records = nullptr;
  return state_->GetCddbRecords(records);
}

HRESULT Drive::GetCDDBRecordNumber(LONG* count) {
  if (!count)
    return E_POINTER;
  return SuccessAsOk(state_->GetCddbRecordCount(count));
}

HRESULT Drive::GetCDDBRecord(LONG dwNumber, ICDDBRecord** record) {
  if (!record)
    return E_POINTER;
  *record = nullptr;
  return SuccessAsOk(state_->GetCddbRecord(dwNumber, record));
}

// Blocks the host's thread for the whole lookup. A failure with a text
// (every CDDB failure has one) becomes the Drive class's error object.
HRESULT Drive::LoadCDDBData() {
  auto loaded = LoadCddbRecords(state_);
  if (loaded)
    return S_OK;
  if (loaded.code() == DISP_E_EXCEPTION)
    return ReportError(CLSID_Drive, loaded.error().message);
  return loaded.code();
}

HRESULT Drive::get_Duration(LONG* seconds) {
  if (!seconds)
    return E_POINTER;
  auto toc = state_->Toc();
  if (!toc)
    return toc.code();
  *seconds = static_cast<LONG>(DiscDurationSeconds(*toc));
  return S_OK;
}

// The tray and speed commands report no status: a drive that refuses them
// (no motor, locked tray, unsupported speed) is not an error to the host.
HRESULT Drive::OpenTray() {
  auto address = state_->Address();
  if (!address)
    return address.code();
  MoveTray(*address, mmc::TrayMotion::kOpen);
  return S_OK;
}

HRESULT Drive::CloseTray() {
  auto address = state_->Address();
  if (!address)
    return address.code();
  MoveTray(*address, mmc::TrayMotion::kClose);
  return S_OK;
}

HRESULT Drive::Eject() {
  return OpenTray();
}

HRESULT Drive::SetReadSpeed(LONG Speed) {
  auto address = state_->Address();
  if (!address)
    return address.code();
  vyn::SetReadSpeed(*address, Speed);
  return S_OK;
}

HRESULT Drive::get_IsMediaLoaded(VARIANT_BOOL* value) {
  if (!value)
    return E_POINTER;
  auto address = state_->Address();
  if (!address)
    return address.code();
  *value = IsMediaLoaded(*address) ? 1 : 0;
  return S_OK;
}

// AutoRefresh keeps the VARIANT_BOOL sign-extended to 32 bits and hands
// back its low 16 bits.
HRESULT Drive::get_AutoRefresh(VARIANT_BOOL* value) {
  if (!value)
    return E_POINTER;
  if (!state_->in_service())
    return CO_E_OBJNOTCONNECTED;
  *value = static_cast<VARIANT_BOOL>(state_->auto_refresh());
  return S_OK;
}

HRESULT Drive::put_AutoRefresh(VARIANT_BOOL value) {
  if (!state_->in_service())
    return CO_E_OBJNOTCONNECTED;
  state_->set_auto_refresh(static_cast<LONG>(value));
  return S_OK;
}

}  // namespace vyn
