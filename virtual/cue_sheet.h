// The text of a CUE sheet, parsed into a plain description: its files, its
// tracks with their modes, flags, sessions and indexes, and the disc-level
// texts. Parsing checks the text only; CueLoader checks the files and
// builds the disc.
//
// Accepted: FILE "name" BINARY (quoted or unquoted name), TRACK nn AUDIO |
// MODE1/2352 | MODE2/2352, INDEX nn mm:ss:ff, PREGAP mm:ss:ff (silence not
// held by the file), FLAGS with PRE, DCP, 4CH and SCMS, REM SESSION nn
// (starts a new session), CATALOG, TITLE, PERFORMER, SONGWRITER, ISRC,
// CDTEXTFILE and any other REM. Anything else is an error naming its line.
//
// Pure functions on values; thread-safe.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/result.h"

namespace vyn::virtual_drive {

enum class CueTrackMode { kAudio, kMode1Raw, kMode2Raw };

struct CueFile {
  std::string name;  // as written, relative to the CUE sheet's folder unless absolute
};

struct CueTrack {
  int number = 0;
  CueTrackMode mode = CueTrackMode::kAudio;
  BYTE flags = 0;                       // CONTROL bits: 0x01 PRE, 0x02 DCP, 0x08 4CH
  int session = 1;                      // the last REM SESSION before the track, else 1
  int file_index = 0;                   // into CueSheet::files
  std::int32_t pregap_frames = 0;       // PREGAP: silence not in the file
  std::optional<std::int32_t> index00;  // frames from the file's start
  std::int32_t index01 = 0;             // frames from the file's start
  int line = 0;                         // of the TRACK command, for messages
};

struct CueSheet {
  std::string catalog;
  std::string title;
  std::string performer;
  std::vector<CueFile> files;
  std::vector<CueTrack> tracks;  // at least one, numbers ascending, each with INDEX 01
};

// mm:ss:ff (75 frames a second) as a frame count; nullopt when malformed.
std::optional<std::int32_t> ParseCueTime(std::string_view text);

Result<CueSheet> ParseCueSheet(std::string_view text);

}  // namespace vyn::virtual_drive
