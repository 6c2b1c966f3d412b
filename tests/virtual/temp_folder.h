// A fresh folder under the system's temporary directory, removed with
// everything in it when the object goes. Test-thread only.
#pragma once

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win/types.h"

namespace vyn::virtual_drive {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vyn-virtual-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty())
      std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string Write(const std::string& name, std::string_view text) const {
    const std::string file = path_ + "/" + name;
    std::ofstream(file, std::ios::binary) << text;
    return file;
  }
  std::string Write(const std::string& name, const std::vector<BYTE>& bytes) const {
    return Write(name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  }

 private:
  std::string path_;
};

// `frames` sectors whose every byte depends on the file, frame and offset,
// so a read from the wrong place never matches by accident.
inline std::vector<BYTE> PatternSectors(int frames, int salt) {
  std::vector<BYTE> bytes(static_cast<std::size_t>(frames) * 2352);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::uint32_t x =
        static_cast<std::uint32_t>(i) ^ (static_cast<std::uint32_t>(salt) * 0x9E3779B9u);
    x *= 0x85EBCA6Bu;
    x ^= x >> 13;
    x *= 0xC2B2AE35u;
    bytes[i] = static_cast<BYTE>(x >> 24);
  }
  return bytes;
}

}  // namespace vyn::virtual_drive
