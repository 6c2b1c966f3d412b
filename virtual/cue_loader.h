// Builds a Disc from a CUE sheet on disk: reads and parses the sheet,
// opens its BIN files (names relative to the sheet's folder), checks that
// they hold whole sectors and every indexed position, and lays the tracks
// out on the disc.
//
// Layout: each file's frames follow the previous file's; PREGAP inserts
// silence before its track (not on track 1, whose pregap lies before LBA
// 0); a track's start is its INDEX 01. The first track of a new session
// starts 11400 frames after the previous session's end, and the file
// frames before its INDEX 01 are not mapped (they would fall into the gap).
//
// Stateless; thread-safe.
#pragma once

#include <string>

#include "platform/com/result.h"
#include "virtual/cue_sheet.h"
#include "virtual/disc.h"

namespace vyn::virtual_drive {

// The disc of the CUE sheet at `cue_path`; the error names what is wrong.
Result<Disc> LoadCueDisc(const std::string& cue_path);
// The same for a sheet already parsed; names resolve against `folder`.
Result<Disc> BuildCueDisc(const CueSheet& sheet, const std::string& folder);

}  // namespace vyn::virtual_drive
