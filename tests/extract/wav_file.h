// Reading back a WAV file the sink wrote, for the tests: its bytes, and
// whether its header is the 46-byte CD-audio header with lengths that
// agree with the file.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "extract/wav_format.h"

namespace vyn::testing {

inline std::vector<BYTE> FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::uint32_t LittleEndian32(const std::vector<BYTE>& bytes, std::size_t at) {
  return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
         (std::uint32_t{bytes[at + 3]} << 24);
}

// Fails the test unless `file` is a well-formed CD-audio WAV file; returns
// its sample data.
inline std::vector<BYTE> WavData(const std::vector<BYTE>& file) {
  const std::string header(file.begin(), file.begin() + std::min<std::size_t>(file.size(), 46));
  EXPECT_GE(file.size(), 46u);
  if (file.size() < 46)
    return {};
  EXPECT_EQ(header.substr(0, 4), "RIFF");
  EXPECT_EQ(LittleEndian32(file, 4), file.size() - 8) << "RIFF length";
  EXPECT_EQ(header.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(LittleEndian32(file, 16), 18u);
  EXPECT_EQ(std::vector<BYTE>(file.begin() + 20, file.begin() + 38),
            std::vector<BYTE>(kCdAudioFormatRecord.begin(), kCdAudioFormatRecord.end()));
  EXPECT_EQ(header.substr(38, 4), "data");
  EXPECT_EQ(LittleEndian32(file, 42), file.size() - 46) << "data length";
  EXPECT_EQ((file.size() - 46) % 4, 0u) << "data ends inside a stereo frame";
  return std::vector<BYTE>(file.begin() + 46, file.end());
}

}  // namespace vyn::testing
