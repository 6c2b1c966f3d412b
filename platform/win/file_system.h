// The file-system operations the output-file policy needs, as a seam: the
// system's (POSIX) by default, a fake in tests that makes one of them fail.
// Names are UTF-16 as the host passed them and UTF-8 on disk; "/" is the
// separator. "Read-only" is the absence of every write permission bit.
// Failures set the calling thread's last error and return its HRESULT.
//
// Thread-safe. The current directory belongs to the whole process.
#pragma once

#include <string>
#include <string_view>

#include "platform/com/result.h"

namespace vyn {

enum class EntryKind { kNone, kFile, kDirectory };

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // What the name refers to; kNone when nothing (or it cannot be looked at).
  virtual EntryKind KindOf(std::u16string_view path) = 0;
  // Gives the owner write permission back (the "normal" attributes).
  virtual Result<void> ClearReadOnly(std::u16string_view path) = 0;
  virtual Result<void> DeleteFile(std::u16string_view path) = 0;
  // Creates one directory with default permissions.
  virtual Result<void> CreateDirectory(std::u16string_view path) = 0;
  virtual Result<void> SetCurrentDirectory(std::u16string_view path) = 0;
  virtual Result<std::u16string> CurrentDirectory() = 0;
};

// The system's file system (POSIX).
FileSystem& SystemFileSystem();

}  // namespace vyn
