// Where a job's output goes, settled before anything is written: the
// output name's directory is created when missing (and becomes the
// process's current directory, which hosts may notice and rely on); a WAV
// name gets ".wav" unless it already ends so, in any case; an existing
// file of that name is replaced only when the overwrite question says so,
// read-only or not. Nothing here deletes anything else.
//
// Runs on the extraction worker. Stateless apart from the process's
// current directory.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "control/overwrite_question.h"
#include "platform/com/result.h"
#include "platform/win/file_system.h"

namespace vyn {

// Wide characters of a WAV name the system accepts, terminator included.
inline constexpr std::size_t kMaxPathChars = 260;

// The part of `name` up to and including its last "/"; empty without one.
std::u16string_view DirectoryPart(std::u16string_view name);

// Creates the directory tree of `path` and makes it the current directory;
// reports nothing (a directory that cannot be made shows up later, when
// the file cannot be created). "/" is the root. The walk goes up to the
// first ancestor it can enter and creates the missing levels from there
// down, each inside the one entered before. A relative path whose first
// level is missing creates nothing.
void EnsureOutputDirectory(FileSystem& files, std::u16string_view path);

// `name` with ".wav" appended unless its last four characters are ".wav"
// in any case. A name that would not fit kMaxPathChars fails with the
// text for the host.
Result<std::u16string> WavOutputName(std::u16string_view name);

// When `name` is an existing file (not a directory): asks `ask`; on kKeep
// fails with "Cancelled by user."; otherwise makes the file writable and
// deletes it, failing with "Unable to overwrite." when it stays.
Result<void> ClearWayForFile(FileSystem& files,
                             const std::u16string& name,
                             const std::function<OverwriteAnswer()>& ask);

}  // namespace vyn
