#include "platform/riff/riff_file.h"

#include <array>

#include "platform/win/last_error.h"

namespace vyn {
namespace {

void PutLittleEndian32(BYTE* out, std::uint32_t value) {
  out[0] = static_cast<BYTE>(value);
  out[1] = static_cast<BYTE>(value >> 8);
  out[2] = static_cast<BYTE>(value >> 16);
  out[3] = static_cast<BYTE>(value >> 24);
}

Error NotOpen() {
  SetLastError(ERROR_INVALID_HANDLE);
  return {HRESULT_FROM_WIN32(ERROR_INVALID_HANDLE), "RIFF file is not open"};
}

// A RIFF size field holds 32 bits.
constexpr std::uint64_t kLargestChunk = 0xFFFFFFFFu;

}  // namespace

Result<RiffFile> RiffFile::Create(const std::string& utf8_path, FileLayer& files) {
  auto file = files.CreateExclusive(utf8_path);
  if (!file)
    return file.error();
  return RiffFile(std::move(file.value()));
}

RiffFile::~RiffFile() {
  if (file_)
    (void)file_->Close();
}

Result<void> RiffFile::CreateChunk(RiffChunk& chunk, ChunkKind kind) {
  if (!file_)
    return NotOpen();
  std::array<BYTE, 12> header{};
  std::size_t length = 8;
  PutLittleEndian32(header.data(), kind == ChunkKind::kRiffForm ? kRiffId : chunk.id);
  if (kind == ChunkKind::kRiffForm) {
    chunk.id = kRiffId;
    PutLittleEndian32(header.data() + 8, chunk.form_type);
    length = 12;
  }
  chunk.size = length - 8;
  PutLittleEndian32(header.data() + 4, chunk.size);
  chunk.data_offset = file_->size() + 8;
  chunk.created = false;
  if (auto written = file_->Append(std::span(header).first(length)); !written)
    return written;
  chunk.created = true;
  return Ok();
}

Result<void> RiffFile::Write(std::span<const BYTE> bytes) {
  if (!file_)
    return NotOpen();
  if (file_->size() + bytes.size() > kLargestChunk + 8) {
    SetLastError(ERROR_FILE_TOO_LARGE);
    return Error{HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE), "RIFF file would exceed 4 GiB"};
  }
  return file_->Append(bytes);
}

Result<void> RiffFile::Ascend(RiffChunk& chunk) {
  if (!file_)
    return NotOpen();
  const std::uint64_t end = file_->size();
  if (end < chunk.data_offset) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return Error{HRESULT_FROM_WIN32(ERROR_INVALID_PARAMETER), "chunk lies beyond the file"};
  }
  const std::uint64_t size = end - chunk.data_offset;
  if (size > kLargestChunk) {
    SetLastError(ERROR_FILE_TOO_LARGE);
    return Error{HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE), "chunk exceeds 4 GiB"};
  }
  if (chunk.created && size != chunk.size) {
    std::array<BYTE, 4> field;
    PutLittleEndian32(field.data(), static_cast<std::uint32_t>(size));
    if (auto patched = file_->Overwrite(chunk.data_offset - 4, field); !patched)
      return patched;
    chunk.size = static_cast<std::uint32_t>(size);
  }
  if (size % 2 != 0) {
    const BYTE pad = 0;
    if (auto padded = file_->Append(std::span(&pad, 1)); !padded)
      return padded;
  }
  return Ok();
}

Result<void> RiffFile::Close() {
  if (!file_)
    return NotOpen();
  auto closed = file_->Close();
  file_.reset();
  return closed;
}

}  // namespace vyn
