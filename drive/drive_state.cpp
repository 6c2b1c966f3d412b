#include "drive/drive_state.h"

#include <new>

#include "drive/drive_commands.h"
#include "drive/drive_name.h"
#include "drive/toc_reader.h"
#include "drive/track_object.h"
#include "platform/text/code_page.h"

namespace vyn {
namespace {

Error NotConnected() {
  return Error{CO_E_OBJNOTCONNECTED, "the drive is no longer in service"};
}

}  // namespace

Result<std::shared_ptr<DriveState>> DriveState::Create(DriveOwner* owner, DriveRecord* record) {
  auto tracks = TracksCollection::Create();
  auto cddb_records = CDDBRecordsCollection::Create();
  if (!tracks || !cddb_records)
    return Error{E_OUTOFMEMORY, "cannot make the drive's collections"};
  std::shared_ptr<DriveState> state(
      new (std::nothrow) DriveState(owner, record, std::move(tracks), std::move(cddb_records)));
  if (!state)
    return Error{E_OUTOFMEMORY, "cannot make the drive's state"};
  return state;
}

DriveState::DriveState(DriveOwner* owner,
                       DriveRecord* record,
                       ComPtr<TracksCollection> tracks,
                       ComPtr<CDDBRecordsCollection> cddb_records)
    : record_(record),
      tracks_(std::move(tracks)),
      cddb_records_(std::move(cddb_records)),
      owner_(owner) {}

Result<void> DriveState::Refresh() {
  TocReply reply;
  DriveAddress address;
  if (!LoadStoredReply(&reply, &address))
    return NotConnected();
  ReadTocReply(address, &reply);
  if (!DiffersFromStoredReply(reply))
    return in_service() ? Ok() : Result<void>(NotConnected());

  // A different disc (or none): prepare its state outside the lock.
  const DiscToc toc = ParseTocReply(reply);
  std::vector<ComPtr<ITrack>> tracks;
  Result<void> made = Ok();
  if (TestUnitReady(address) != SS_ERR)
    made = MakeTracks(toc.TrackCount(), &tracks);

  std::vector<ComPtr<ITrack>> old_tracks;
  std::vector<ComPtr<ICDDBRecord>> old_records;
  {
    std::lock_guard lock(mutex_);
    if (!record_)
      return NotConnected();
    // Another Refresh switched to this reply meanwhile; its tracks stand.
    if (record_->toc_reply == reply)
      return Ok();
    record_->toc_reply = reply;
    record_->toc = toc;
    old_tracks = tracks_->ReplaceAll(std::move(tracks));
    // The CDDB matches stay: file names may still be made from them.
    old_records = cddb_records_->TakeAll();
    active_record_ = 0;
    cddb_loaded_ = false;
    ++disc_serial_;
  }
  // The old elements are released here, outside the lock.
  return made;
}

Result<void> DriveState::MakeTracks(std::int32_t count, std::vector<ComPtr<ITrack>>* tracks) {
  tracks->reserve(static_cast<std::size_t>(count));
  for (std::int32_t index = 0; index < count; ++index) {
    auto track = Track::Create(weak_from_this(), index);
    if (!track)
      return Error{E_OUTOFMEMORY, "cannot make a track"};
    tracks->push_back(std::move(track));
  }
  return Ok();
}

bool DriveState::LoadStoredReply(TocReply* reply, DriveAddress* address) const {
  std::lock_guard lock(mutex_);
  if (!record_)
    return false;
  *reply = record_->toc_reply;
  *address = DriveAddress::Of(*record_);
  return true;
}

bool DriveState::DiffersFromStoredReply(const TocReply& reply) const {
  std::lock_guard lock(mutex_);
  return record_ && record_->toc_reply != reply;
}

Result<DiscToc> DriveState::Toc() const {
  std::lock_guard lock(mutex_);
  if (!record_)
    return NotConnected();
  return record_->toc;
}

Result<DriveAddress> DriveState::Address() const {
  std::lock_guard lock(mutex_);
  if (!record_)
    return NotConnected();
  return DriveAddress::Of(*record_);
}

HRESULT DriveState::NameAsBstr(BSTR* out) const {
  return WhileInService([&] { return DriveNameAsBstr(*record_, out); });
}

HRESULT DriveState::GetTracks(ITracksCollection** out) const {
  return WhileInService([&] { return tracks_.CopyTo(out); });
}

HRESULT DriveState::GetTrackCount(LONG* count) const {
  return WhileInService([&] { return tracks_->get_Count(count); });
}

HRESULT DriveState::GetTrack(LONG number, ITrack** out) const {
  return WhileInService([&] { return tracks_->get_Item(number, out); });
}

HRESULT DriveState::GetCddbRecords(ICDDBRecordsCollection** out) const {
  return WhileInService([&] { return cddb_records_.CopyTo(out); });
}

HRESULT DriveState::GetCddbRecordCount(LONG* count) const {
  return WhileInService([&] { return cddb_records_->get_Count(count); });
}

HRESULT DriveState::GetCddbRecord(LONG number, ICDDBRecord** out) const {
  return WhileInService([&] { return cddb_records_->get_Item(number, out); });
}

Result<DriveState::CddbLookup> DriveState::BeginCddbLookup() {
  std::vector<ComPtr<ICDDBRecord>> old_records;  // released after the lock
  std::lock_guard lock(mutex_);
  if (!record_)
    return NotConnected();
  old_records = cddb_records_->TakeAll();
  cddb_matches_.clear();
  active_record_ = 0;
  cddb_loaded_ = false;
  return CddbLookup{record_->toc, disc_serial_, ++lookup_serial_};
}

Result<void> DriveState::FinishCddbLookup(const CddbLookup& lookup,
                                          std::vector<CddbMatch> matches,
                                          std::vector<ComPtr<ICDDBRecord>> records,
                                          bool entry_read) {
  // Whatever is not switched in is released after the lock.
  std::vector<CddbMatch> old_matches;
  std::lock_guard lock(mutex_);
  if (!record_)
    return NotConnected();
  if (lookup.serial != lookup_serial_)
    return Ok();
  old_matches = std::exchange(cddb_matches_, std::move(matches));
  if (lookup.disc != disc_serial_)
    return Ok();  // the disc changed meanwhile: its reset stands
  records = cddb_records_->ReplaceAll(std::move(records));
  active_record_ = 0;
  cddb_loaded_ = entry_read;
  return Ok();
}

Result<std::u16string> DriveState::CddbMatchText(std::uint64_t serial,
                                                 std::size_t index,
                                                 MatchField field) const {
  std::lock_guard lock(mutex_);
  if (!record_ || serial != lookup_serial_)
    return NotConnected();
  if (index >= cddb_matches_.size())
    return std::u16string();
  const CddbMatch& match = cddb_matches_[index];
  return field == MatchField::kTitle ? AnsiToWide(match.title) : match.raw_text;
}

Result<void> DriveState::SetActiveCddbRecord(std::uint64_t serial, std::size_t index) {
  std::lock_guard lock(mutex_);
  if (!record_ || serial != lookup_serial_)
    return NotConnected();
  active_record_ = static_cast<LONG>(index);
  return Ok();
}

const CddbMatch* DriveState::ActiveMatchLocked(ActiveTest test) const {
  if (!record_ || (test == ActiveTest::kLoadedAndInList && !cddb_loaded_))
    return nullptr;
  const auto index = static_cast<std::size_t>(active_record_);
  return index < cddb_matches_.size() ? &cddb_matches_[index] : nullptr;
}

std::optional<LONG> DriveState::ActiveCddbRecord() const {
  std::lock_guard lock(mutex_);
  if (!ActiveMatchLocked(ActiveTest::kLoadedAndInList))
    return std::nullopt;
  return active_record_;
}

std::optional<std::u16string> DriveState::ActiveRecordText() const {
  std::lock_guard lock(mutex_);
  const CddbMatch* match = ActiveMatchLocked(ActiveTest::kLoadedAndInList);
  if (!match)
    return std::nullopt;
  return match->raw_text;
}

Result<std::optional<std::u16string>> DriveState::FilenameRecordText() const {
  std::lock_guard lock(mutex_);
  if (!record_)
    return NotConnected();
  const CddbMatch* match = ActiveMatchLocked(ActiveTest::kInList);
  if (!match)
    return std::optional<std::u16string>();
  return std::optional<std::u16string>(match->raw_text);
}

bool DriveState::in_service() const {
  std::lock_guard lock(mutex_);
  return record_ != nullptr;
}

void DriveState::Shutdown() {
  owner_.Forget();
  // Declared before the lock, so the elements are released after it.
  std::vector<ComPtr<ITrack>> old_tracks;
  std::vector<ComPtr<ICDDBRecord>> old_records;
  std::lock_guard lock(mutex_);
  record_ = nullptr;
  old_tracks = tracks_->TakeAll();
  old_records = cddb_records_->TakeAll();
  cddb_matches_.clear();
  active_record_ = 0;
  cddb_loaded_ = false;
}

}  // namespace vyn
