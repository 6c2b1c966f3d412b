// Writes a synthetic disc out as a disc image: one BIN file with every
// track's sectors back to back and a single-file CUE sheet beside it (REM
// SESSION lines for the sessions, FLAGS for pre-emphasis and copy
// permission). Loading that sheet gives the same TOC and the same sector
// bytes as the description itself.
//
// Stateless; thread-safe for distinct paths.
#pragma once

#include <string>
#include <string_view>

#include "platform/com/result.h"

namespace vyn::virtual_drive {

// Writes `<folder>/<base_name>.bin` and `.cue`; returns the CUE's path.
Result<std::string> WriteSyntheticImage(std::string_view description,
                                        const std::string& folder,
                                        const std::string& base_name);

}  // namespace vyn::virtual_drive
