// What a drive shares with its polling thread and its Track objects: the
// link to the drive's record (the stored READ TOC reply and the table
// parsed from it), the Tracks and CDDBRecords collections, the CDDB
// matches and selection, AutoRefresh and the link to the owner.
//
// Threads: Refresh runs on the host's thread and on the polling thread;
// everything else on the host's thread, apart from what the poll reads.
// `mutex_` guards the record pointer and the record's table fields, the
// CDDB matches and selection, and every change of the two lists. A
// rebuild is prepared without the lock (READ TOC, TEST UNIT READY, new
// Track objects; a CDDB lookup's requests) and switched in under it in one
// step, so a reader that takes the lock sees the old disc or the new one,
// never a mix. The lock is never held while a command runs, nor while the
// owner or the host is called.
//
// Lifetime: held by the Drive and by its polling thread; Tracks hold weak
// references. Shutdown takes it out of service on the host's thread before
// the control frees the record: the record and the owner are forgotten, the
// tracks and records dropped, and from then on every member answers
// CO_E_OBJNOTCONNECTED (or does nothing) without touching the record.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "cddb/cddb_match.h"
#include "control/collection.h"
#include "drive/disc_toc.h"
#include "drive/drive_address.h"
#include "drive/drive_owner.h"
#include "drive/drive_record.h"
#include "drive/owner_link.h"
#include "platform/com/result.h"

namespace vyn {

class DriveState : public std::enable_shared_from_this<DriveState> {
 public:
  // With the empty Tracks and CDDBRecords collections; E_OUTOFMEMORY when
  // one cannot be made. `owner` and `record` must stay until Shutdown.
  static Result<std::shared_ptr<DriveState>> Create(DriveOwner* owner, DriveRecord* record);
  DriveState(const DriveState&) = delete;
  DriveState& operator=(const DriveState&) = delete;

  // Reads the TOC again. An unchanged reply changes nothing. A different
  // one replaces the table, the tracks (none when TEST UNIT READY fails)
  // and discards the CDDB records and selection (the matches stay: file
  // names may still be made from them). E_OUTOFMEMORY when a Track cannot
  // be made (the ones made before it are kept).
  Result<void> Refresh();

  // The poll's side. Copies the stored reply and the drive's address;
  // false once out of service.
  bool LoadStoredReply(TocReply* reply, DriveAddress* address) const;
  // True when `reply` differs from the stored reply; false once out of
  // service (there is nothing left to report).
  bool DiffersFromStoredReply(const TocReply& reply) const;

  // Copies of the table and the drive's address.
  Result<DiscToc> Toc() const;
  Result<DriveAddress> Address() const;
  HRESULT NameAsBstr(BSTR* out) const;

  // The collections, and Count and Item of each taken under the lock so a
  // rebuild is never seen half done.
  HRESULT GetTracks(ITracksCollection** out) const;
  HRESULT GetTrackCount(LONG* count) const;
  HRESULT GetTrack(LONG number, ITrack** out) const;
  HRESULT GetCddbRecords(ICDDBRecordsCollection** out) const;
  HRESULT GetCddbRecordCount(LONG* count) const;
  HRESULT GetCddbRecord(LONG number, ICDDBRecord** out) const;

  // A CDDB lookup in two steps, so that the network is used without the
  // lock. Begin empties the records and the match list, clears the
  // selection and hands out the table to query. Finish switches the
  // lookup's results in at once: `matches` as the query gave them (with the
  // texts read), `records` one per match read, in order; `entry_read` sets
  // cddbLoaded. A disc change between the two orders the lookup before it:
  // the matches are kept (as a disc change keeps them, for file names) but
  // the records are dropped and no record is active. A lookup begun later
  // wins over an earlier one that finishes after it.
  struct CddbLookup {
    DiscToc toc;
    std::uint64_t disc = 0;    // the disc the lookup is for
    std::uint64_t serial = 0;  // which lookup; its records carry it
  };
  Result<CddbLookup> BeginCddbLookup();
  Result<void> FinishCddbLookup(const CddbLookup& lookup,
                                std::vector<CddbMatch> matches,
                                std::vector<ComPtr<ICDDBRecord>> records,
                                bool entry_read);

  // What a record reads: a field of match `index` of lookup `serial`.
  // Empty past the end of the list; CO_E_OBJNOTCONNECTED out of service or
  // once a later lookup has replaced the list.
  enum class MatchField { kTitle, kRawText };
  Result<std::u16string> CddbMatchText(std::uint64_t serial,
                                       std::size_t index,
                                       MatchField field) const;
  // SetActive: makes match `index` the active one; checks only the lookup.
  Result<void> SetActiveCddbRecord(std::uint64_t serial, std::size_t index);

  // The active record's index: cddbLoaded is set and the index lies within
  // the match list. None otherwise (no lookup, a disc change since).
  std::optional<LONG> ActiveCddbRecord() const;
  // The active record's entry text, for the encoder's tags; none without
  // an active record.
  std::optional<std::u16string> ActiveRecordText() const;
  // The entry text file names are made from: the match at the active index
  // while the list has one, also after a disc change; none otherwise.
  Result<std::optional<std::u16string>> FilenameRecordText() const;

  // AutoRefresh as stored: any non-zero value turns polling on.
  LONG auto_refresh() const { return auto_refresh_.load(std::memory_order_relaxed); }
  void set_auto_refresh(LONG value) { auto_refresh_.store(value, std::memory_order_relaxed); }

  OwnerLink& owner() { return owner_; }
  bool in_service() const;
  // Takes the state out of service; idempotent. Host's thread.
  void Shutdown();

 private:
  DriveState(DriveOwner* owner,
             DriveRecord* record,
             ComPtr<TracksCollection> tracks,
             ComPtr<CDDBRecordsCollection> cddb_records);

  // Runs `read` under the lock while in service.
  template <class Read>
  HRESULT WhileInService(Read&& read) const {
    std::lock_guard lock(mutex_);
    if (!record_)
      return CO_E_OBJNOTCONNECTED;
    return read();
  }
  // The two tests of an active record: the one tags use, and the weaker
  // one of file names, which survives a disc change.
  enum class ActiveTest { kLoadedAndInList, kInList };
  // The match at the active index when it passes `test`; needs mutex_.
  const CddbMatch* ActiveMatchLocked(ActiveTest test) const;
  // New Track objects for a table with `count` tracks.
  Result<void> MakeTracks(std::int32_t count, std::vector<ComPtr<ITrack>>* tracks);

  mutable std::mutex mutex_;
  DriveRecord* record_;                               // guarded by mutex_; null out of service
  std::uint64_t disc_serial_ = 0;                     // guarded by mutex_; +1 per disc change
  std::uint64_t lookup_serial_ = 0;                   // guarded by mutex_; +1 per lookup
  std::vector<CddbMatch> cddb_matches_;               // guarded by mutex_
  LONG active_record_ = 0;                            // guarded by mutex_
  bool cddb_loaded_ = false;                          // guarded by mutex_
  const ComPtr<TracksCollection> tracks_;             // contents change under mutex_
  const ComPtr<CDDBRecordsCollection> cddb_records_;  // contents change under mutex_
  std::atomic<LONG> auto_refresh_{1};
  OwnerLink owner_;
};

}  // namespace vyn
