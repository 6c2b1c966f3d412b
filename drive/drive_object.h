// Drive: one CD drive as the host sees it (IDrive). It keeps the disc's
// table of contents and its Track objects, controls the tray and the read
// speed, and watches for disc changes on its own polling thread.
//
// Home thread: the host's; every IDrive member and Shutdown run there. The
// polling thread shares only the drive's DriveState (see there for the lock
// that keeps a Refresh on the polling thread and the host's calls apart).
//
// Once a drive exists, its record's table fields change under the drive's
// lock: other parts read the table through Toc(), never from the record.
//
// Lifetime: made by the control, one per drive record; holds a module lock.
// The control calls Shutdown before it frees the record; the last Release
// shuts down too. Out of service, every member answers
// CO_E_OBJNOTCONNECTED once its pointer arguments have been checked.
#pragma once

#include <memory>

#include "control/dual_object.h"
#include "control/interfaces.h"
#include "control/module_lock.h"
#include "drive/disc_toc.h"
#include "drive/drive_owner.h"
#include "drive/drive_record.h"
#include "platform/com/com_object.h"
#include "platform/com/error_info.h"
#include "platform/com/result.h"

namespace vyn {

class DiscPoller;
class DriveState;

inline constexpr DISPID kFirstDiscLayoutDispid = 101;

class Drive final : public DualObject<Drive, IDrive, IDiscLayout, ISupportErrorInfo> {
 public:
  // Makes the two collections, then the polling thread (failure: the
  // system error as an HRESULT), then reads the table (Refresh; its
  // failure fails the creation). `owner` and `record` must outlive the
  // drive's service (until Shutdown).
  static Result<ComPtr<Drive>> Create(DriveOwner* owner, DriveRecord* record);
  // Ends the drive's service, on the host's thread, before the control
  // frees the record: stops the polling thread (no tick touches the record
  // or the owner after it returns), drops tracks and CDDB records, forgets
  // owner and record. Idempotent.
  void Shutdown();

  // A copy of the table (for extraction and the CDDB disc id).
  Result<DiscToc> Toc() const;
  // The drive's state, for the CDDB client and tests.
  DriveState& state() const { return *state_; }

  // --- IDrive ---
  HRESULT get_Name(BSTR* name) override;
  HRESULT get_Tracks(ITracksCollection** tracks) override;
  HRESULT Refresh() override;
  HRESULT get_HasAudioCD(VARIANT_BOOL* value) override;
  HRESULT GetTrackNumber(LONG* count) override;
  HRESULT GetTrack(LONG dwNumber, ITrack** track) override;
  HRESULT get_CDDBRecords(ICDDBRecordsCollection** records) override;
  HRESULT get_Duration(LONG* seconds) override;
  HRESULT OpenTray() override;
  HRESULT LoadCDDBData() override;
  HRESULT CloseTray() override;
  HRESULT Eject() override;
  HRESULT SetReadSpeed(LONG Speed) override;
  HRESULT GetCDDBRecordNumber(LONG* count) override;
  HRESULT GetCDDBRecord(LONG dwNumber, ICDDBRecord** record) override;
  HRESULT get_IsMediaLoaded(VARIANT_BOOL* value) override;
  HRESULT get_AutoRefresh(VARIANT_BOOL* value) override;
  HRESULT put_AutoRefresh(VARIANT_BOOL value) override;

  // --- IDiscLayout (disc_layout.cpp) ---
  HRESULT get_EntryCount(LONG* count) override;
  HRESULT EntryTrackNumber(LONG nEntry, LONG* number) override;
  HRESULT EntryAdrControl(LONG nEntry, LONG* adr_control) override;
  HRESULT EntryStartAddress(LONG nEntry, LONG* lba) override;
  HRESULT get_CddbDiscId(BSTR* disc_id) override;
  HRESULT get_CddbQueryCommand(BSTR* command) override;

  // --- IDispatch: served from the type library; IDrive's members, then
  // IDiscLayout's (dispids from 101) ---
  HRESULT GetIDsOfNames(REFIID iid, OLECHAR** names, UINT count, LCID, DISPID* ids) override {
    HRESULT hr = DispatchGetIDsOfNames<IDrive>(iid, names, count, ids);
    if (hr != DISP_E_UNKNOWNNAME)
      return hr;
    return DispatchGetIDsOfNames<IDiscLayout>(iid, names, count, ids);
  }
  HRESULT Invoke(DISPID id,
                 REFIID iid,
                 LCID,
                 WORD flags,
                 DISPPARAMS* params,
                 VARIANT* result,
                 EXCEPINFO* exception,
                 UINT* arg_error) override {
    if (id >= kFirstDiscLayoutDispid) {
      return DispatchInvoke<IDiscLayout>(this, id, iid, flags, params, result, exception,
                                         arg_error);
    }
    return DispatchInvoke<IDrive>(this, id, iid, flags, params, result, exception, arg_error);
  }

  // --- ISupportErrorInfo ---
  HRESULT InterfaceSupportsErrorInfo(REFIID iid) override {
    return iid == IDrive::kIid || iid == IDiscLayout::kIid ? S_OK : S_FALSE;
  }

 protected:
  ~Drive() override;

 private:
  friend class ComObject<Drive, IDrive, IDiscLayout, ISupportErrorInfo>;
  Drive(std::shared_ptr<DriveState> state, std::unique_ptr<DiscPoller> poller);

  ModuleLock module_lock_;
  const std::shared_ptr<DriveState> state_;
  std::unique_ptr<DiscPoller> poller_;  // host's thread; null once shut down
};

}  // namespace vyn
