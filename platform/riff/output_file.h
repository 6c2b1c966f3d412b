// The file operations the RIFF writer needs, as a seam: the system's files
// by default, a fake in tests that fails writes or runs out of space.
// Failures set the calling thread's last error and return its HRESULT.
//
// An OutputFile belongs to one thread at a time; the file layer is
// thread-safe.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/com/result.h"
#include "platform/win/types.h"

namespace vyn {

class OutputFile {
 public:
  virtual ~OutputFile() = default;
  // Appends all of `bytes` at the end of what was written, or nothing: a
  // failed append leaves the file as long as it was before the call.
  virtual Result<void> Append(std::span<const BYTE> bytes) = 0;
  // Overwrites bytes already written (a size field in a header).
  virtual Result<void> Overwrite(std::uint64_t offset, std::span<const BYTE> bytes) = 0;
  // Bytes written so far: the offset of the next append.
  virtual std::uint64_t size() const = 0;
  // Closes the file; later calls fail.
  virtual Result<void> Close() = 0;
};

class FileLayer {
 public:
  virtual ~FileLayer() = default;
  // Creates the file, or truncates an existing one, for writing only, and
  // refuses it while another writer holds it exclusively.
  virtual Result<std::unique_ptr<OutputFile>> CreateExclusive(const std::string& utf8_path) = 0;
};

// The system's files (POSIX).
FileLayer& SystemFileLayer();

}  // namespace vyn
