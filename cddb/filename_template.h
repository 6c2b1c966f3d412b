// File names for a track from a template and the active CDDB record.
// Placeholders: %1 artist, %2 track title, %3 album, %4 year, %5 genre,
// %6 track number (two digits at least), %7 disc identifier, %% a percent
// sign; "%" before any other character, or at the end, stays as written.
// In the result each of : * ? < > " | becomes "_"; "/" is kept and makes
// a sub-folder, "\" is an ordinary character.
//
// Thread-safe: no state.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cddb/record_values.h"
#include "platform/com/result.h"

namespace vyn {

std::u16string ExpandFilenameTemplate(std::u16string_view name_template,
                                      const RecordValues& values,
                                      int track_index);
// Replaces the seven characters file names cannot hold.
std::u16string CleanFilename(std::u16string name);

// The name for the track at `track_index` (0-based) from the active record's
// entry text; "No active CDDB record." when there is none (nullopt).
Result<std::u16string> GenerateFilename(std::optional<std::u16string_view> active_entry_text,
                                        int track_index,
                                        std::u16string_view name_template);

}  // namespace vyn
