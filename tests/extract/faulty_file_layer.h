// A file layer over the system's files that runs out of space: appends
// that would take the file past `capacity` bytes fail with
// ERROR_DISK_FULL, as on a full disk, and leave the file as it was.
#pragma once

#include <cstdint>
#include <limits>
#include <memory>

#include "platform/riff/output_file.h"
#include "platform/win/last_error.h"

namespace vyn::testing {

class FullDiskFileLayer final : public FileLayer {
 public:
  explicit FullDiskFileLayer(std::uint64_t capacity) : capacity_(capacity) {}

  Result<std::unique_ptr<OutputFile>> CreateExclusive(const std::string& path) override {
    auto file = SystemFileLayer().CreateExclusive(path);
    if (!file)
      return file.error();
    return std::unique_ptr<OutputFile>(std::make_unique<File>(std::move(file.value()), capacity_));
  }

 private:
  class File final : public OutputFile {
   public:
    File(std::unique_ptr<OutputFile> inner, std::uint64_t capacity)
        : inner_(std::move(inner)), capacity_(capacity) {}
    Result<void> Append(std::span<const BYTE> bytes) override {
      if (inner_->size() + bytes.size() > capacity_) {
        SetLastError(ERROR_DISK_FULL);
        return Error{HRESULT_FROM_WIN32(ERROR_DISK_FULL), "disk full"};
      }
      return inner_->Append(bytes);
    }
    Result<void> Overwrite(std::uint64_t offset, std::span<const BYTE> bytes) override {
      return inner_->Overwrite(offset, bytes);
    }
    std::uint64_t size() const override { return inner_->size(); }
    Result<void> Close() override { return inner_->Close(); }

   private:
    std::unique_ptr<OutputFile> inner_;
    std::uint64_t capacity_;
  };

  std::uint64_t capacity_;
};

}  // namespace vyn::testing
