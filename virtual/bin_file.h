// A BIN file of a disc image, opened for reading: raw 2352-byte sectors
// back to back. Several regions of a disc may share one file.
//
// Immutable after Open; reads use pread and are safe from any thread. Owns
// its file descriptor.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/com/result.h"
#include "virtual/sector_source.h"

namespace vyn::virtual_drive {

class BinFile final : public SectorSource {
 public:
  static Result<std::shared_ptr<const BinFile>> Open(const std::string& path);
  ~BinFile() override;
  BinFile(const BinFile&) = delete;
  BinFile& operator=(const BinFile&) = delete;

  std::uint64_t size() const { return size_; }
  bool Read(std::uint64_t offset, std::size_t length, BYTE* out) const override;

 private:
  BinFile(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
  int fd_;
  std::uint64_t size_;
};

}  // namespace vyn::virtual_drive
