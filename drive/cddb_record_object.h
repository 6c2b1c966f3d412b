// CddbRecord: one match of the drive's last CDDB lookup, as the host sees
// it (ICDDBRecord). It holds no CDDB data: it names its lookup and its
// position in the drive's match list and reads the match there whenever it
// is asked, through a weak reference to the drive's shared state, so it
// never dangles.
//
// A record the host keeps after a disc change still reads its own match
// (the list survives a disc change). Once a later lookup has replaced the
// list, or the drive has left service, every member answers
// CO_E_OBJNOTCONNECTED: it never reads another lookup's match, nor outside
// the list.
//
// Made only by the drive's CDDB lookup; the CDDBRecords collection holds
// one reference. Home thread: the host's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "control/dual_object.h"
#include "control/interfaces.h"
#include "drive/drive_state.h"
#include "platform/com/com_object.h"
#include "platform/com/error_info.h"

namespace vyn {

class CddbRecord final : public DualObject<CddbRecord, ICDDBRecord, ISupportErrorInfo> {
 public:
  // --- ICDDBRecord ---
  HRESULT get_Description(BSTR* description) override;
  HRESULT SetActive() override;
  HRESULT get_RawData(BSTR* text) override;

  // --- ISupportErrorInfo ---
  HRESULT InterfaceSupportsErrorInfo(REFIID iid) override {
    return iid == ICDDBRecord::kIid ? S_OK : S_FALSE;
  }

 protected:
  ~CddbRecord() override = default;

 private:
  friend class ComObject<CddbRecord, ICDDBRecord, ISupportErrorInfo>;
  CddbRecord(std::weak_ptr<DriveState> drive, std::uint64_t lookup, std::size_t index)
      : drive_(std::move(drive)), lookup_(lookup), index_(index) {}

  HRESULT ReadField(DriveState::MatchField field, BSTR* out) const;

  const std::weak_ptr<DriveState> drive_;
  const std::uint64_t lookup_;  // the lookup that made it
  const std::size_t index_;     // 0-based position in that lookup's matches
};

}  // namespace vyn
