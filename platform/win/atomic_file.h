// Whole-file reads and all-or-nothing replacement of a file's contents: the
// new text goes to a temporary file in the same directory, is synced, and is
// renamed over the old one, so readers see either the old or the new file
// and a failure leaves the old one untouched. The caller serialises writers
// (FileLock). Thread-safe functions.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/com/result.h"

namespace vyn {

// The file's bytes, or nullopt when the file does not exist.
Result<std::optional<std::string>> ReadWholeFile(const std::string& path);

// Replaces `path` with `contents`. An existing file's permission bits carry
// over; a new file is readable and writable by its owner only.
Result<void> ReplaceFileAtomically(const std::string& path, std::string_view contents);

// Creates `directory` and its missing parents ("mkdir -p").
Result<void> CreateDirectories(const std::string& directory);

// "dir" of "dir/name"; "." for a bare name.
std::string ParentDirectory(const std::string& path);

}  // namespace vyn
