// Track's extraction members: each makes one job for this track and hands
// it to the drive's control, which checks it (a run already active, no
// encoder) and runs or queues it.
#include "drive/drive_state.h"
#include "drive/track_object.h"
#include "extract/extraction_job.h"
#include "platform/com/bstr.h"

namespace vyn {

HRESULT Track::ExtractToWav(BSTR szFilename) {
  return RequestExtraction(szFilename, JobKind::kWav, VARIANT_FALSE, JobStart::kNow);
}

HRESULT Track::ExtractToEncoder(BSTR szFilename, VARIANT_BOOL bWriteTag) {
  return RequestExtraction(szFilename, JobKind::kEncoder, bWriteTag, JobStart::kNow);
}

HRESULT Track::QueueExtractToWav(BSTR szFilename) {
  return RequestExtraction(szFilename, JobKind::kWav, VARIANT_FALSE, JobStart::kQueued);
}

HRESULT Track::QueueExtractToEncoder(BSTR szFilename, VARIANT_BOOL bWriteTag) {
  return RequestExtraction(szFilename, JobKind::kEncoder, bWriteTag, JobStart::kQueued);
}

HRESULT Track::RequestExtraction(BSTR name, JobKind kind, VARIANT_BOOL write_tag, JobStart start) {
  auto drive = drive_.lock();
  if (!drive)
    return CO_E_OBJNOTCONNECTED;
  ExtractionJob job;
  job.drive = drive_;
  job.track_index = index_;
  job.kind = kind;
  job.output_name = name ? std::u16string(name, SysStringLen(name)) : std::u16string();
  // Tags come from the record active now; without one the job is untagged.
  if (kind == JobKind::kEncoder && write_tag != VARIANT_FALSE) {
    if (auto text = drive->ActiveRecordText(); text && !text->empty()) {
      job.write_tag = true;
      job.tag_source = std::move(*text);
    }
  }
  return drive->owner().RequestExtraction(std::move(job), start);
}

}  // namespace vyn
