// Track: one track of the disc in a drive, as the host sees it. It knows
// its 0-based index and reaches its drive through a weak reference to the
// drive's shared state, so it never dangles: a Track the host keeps after
// a disc change describes whatever is at its index in the current table
// ("No such track on the disk" when the table has no such track), and one
// kept after its drive has left service answers CO_E_OBJNOTCONNECTED.
//
// Made only by the drive's Refresh; the Tracks collection holds one
// reference. Home thread: the host's.
#pragma once

#include <memory>

#include "control/dual_object.h"
#include "control/interfaces.h"
#include "extract/extraction_job.h"
#include "platform/com/com_object.h"
#include "platform/com/error_info.h"
#include "platform/com/result.h"

namespace vyn {

class DriveState;
struct DiscToc;

class Track final : public DualObject<Track, ITrack, ISupportErrorInfo> {
 public:
  LONG index() const { return index_; }

  // --- ITrack ---
  HRESULT get_Duration(LONG* seconds) override;
  HRESULT get_Size(LONG* bytes) override;
  HRESULT get_IsAudio(VARIANT_BOOL* value) override;
  // Extraction and the batch queue (track_extraction.cpp): the control
  // checks and runs the request.
  HRESULT ExtractToWav(BSTR szFilename) override;
  HRESULT ExtractToEncoder(BSTR szFilename, VARIANT_BOOL bWriteTag) override;
  HRESULT QueueExtractToWav(BSTR szFilename) override;
  HRESULT QueueExtractToEncoder(BSTR szFilename, VARIANT_BOOL bWriteTag) override;
  // From the drive's match at the active index, also after a disc change.
  HRESULT GenerateFilename(BSTR szTemplate, BSTR* szFilename) override;

  // --- ISupportErrorInfo ---
  HRESULT InterfaceSupportsErrorInfo(REFIID iid) override {
    return iid == ITrack::kIid ? S_OK : S_FALSE;
  }

 protected:
  ~Track() override = default;

 private:
  friend class ComObject<Track, ITrack, ISupportErrorInfo>;
  Track(std::weak_ptr<DriveState> drive, LONG index) : drive_(std::move(drive)), index_(index) {}

  // The drive's current table when it still lists this track; otherwise
  // CO_E_OBJNOTCONNECTED, or DISP_E_EXCEPTION with "No such track on the
  // disk" for the getter to report.
  Result<DiscToc> CurrentTable() const;
  // Makes the job for this track and hands it to the drive's control.
  HRESULT RequestExtraction(BSTR name, JobKind kind, VARIANT_BOOL write_tag, JobStart start);

  const std::weak_ptr<DriveState> drive_;
  const LONG index_;
};

}  // namespace vyn
