// A RIFF file being written, with the chunk bookkeeping of the multimedia
// file functions: open (create, write, exclusive), create a chunk or a
// RIFF form, write into the current chunk, ascend out of a chunk (which
// patches its size field and pads it to an even length), close. Sizes are
// written when a chunk is ascended from, so nothing needs to be known in
// advance.
//
// Belongs to one thread at a time (the WAV sink hands it to its writer
// thread and takes it back after joining). Failures set the calling
// thread's last error.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/com/result.h"
#include "platform/riff/output_file.h"
#include "platform/win/types.h"

namespace vyn {

using FourCC = std::uint32_t;

constexpr FourCC MakeFourCC(const char (&code)[5]) {
  return static_cast<FourCC>(static_cast<BYTE>(code[0])) |
         (static_cast<FourCC>(static_cast<BYTE>(code[1])) << 8) |
         (static_cast<FourCC>(static_cast<BYTE>(code[2])) << 16) |
         (static_cast<FourCC>(static_cast<BYTE>(code[3])) << 24);
}

inline constexpr FourCC kRiffId = MakeFourCC("RIFF");

// One chunk as the caller tracks it (the role of MMCKINFO).
struct RiffChunk {
  FourCC id = 0;
  FourCC form_type = 0;           // RIFF forms only
  std::uint32_t size = 0;         // as last written to the file
  std::uint64_t data_offset = 0;  // the first byte after the size field
  bool created = false;           // made by CreateChunk, size still to patch
};

enum class ChunkKind { kPlain, kRiffForm };

class RiffFile {
 public:
  // Creates or truncates `utf8_path` for writing, held exclusively.
  static Result<RiffFile> Create(const std::string& utf8_path,
                                 FileLayer& files = SystemFileLayer());

  RiffFile(RiffFile&&) noexcept = default;
  RiffFile& operator=(RiffFile&&) noexcept = default;
  ~RiffFile();

  bool is_open() const { return file_ != nullptr; }
  // Writes the chunk's header at the current end: its id and a zero size,
  // and for a RIFF form the id "RIFF" and `chunk.form_type`.
  Result<void> CreateChunk(RiffChunk& chunk, ChunkKind kind);
  // Appends to the chunk being written; all or nothing.
  Result<void> Write(std::span<const BYTE> bytes);
  // Ends `chunk` at the current end: patches its size when it changed and
  // adds a pad byte after an odd size.
  Result<void> Ascend(RiffChunk& chunk);
  // Closes the file (also done, quietly, by the destructor).
  Result<void> Close();

 private:
  explicit RiffFile(std::unique_ptr<OutputFile> file) : file_(std::move(file)) {}

  std::unique_ptr<OutputFile> file_;
};

}  // namespace vyn
