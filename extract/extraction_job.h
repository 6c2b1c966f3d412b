// One requested track: which drive and track to read, where the audio goes
// (a WAV file or the control's external encoder) and, for the encoder,
// whether to tag it and from which CDDB entry text. Made by the Track's
// extraction calls; a run works on its own copies.
//
// Value type. The drive is held weakly: a job never keeps a drive alive,
// and its table is read when the job starts.
#pragma once

#include <memory>
#include <string>

namespace vyn {

class DriveState;

enum class JobKind : int { kWav = 0, kEncoder = 1 };

struct ExtractionJob {
  std::weak_ptr<DriveState> drive;
  int track_index = 0;  // 0-based; the track number is track_index + 1
  JobKind kind = JobKind::kWav;
  std::u16string output_name;  // as the host passed it
  bool write_tag = false;      // encoder jobs only
  std::u16string tag_source;   // the drive's active CDDB entry, when tagging
};

// Whether a request runs at once, alone, or joins the batch queue.
enum class JobStart { kNow, kQueued };

}  // namespace vyn
