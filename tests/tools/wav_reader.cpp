#include "tests/tools/wav_reader.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace vyn::testing {
namespace {

std::uint32_t Le32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t Le16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

}  // namespace

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::optional<std::vector<std::uint8_t>> ReadCdWav(const std::string& path, std::string* why) {
  std::vector<std::uint8_t> file = ReadWholeFile(path);
  auto fail = [&](const std::string& reason) {
    *why = path + ": " + reason;
    return std::nullopt;
  };
  if (file.size() < 12 || std::memcmp(file.data(), "RIFF", 4) != 0 ||
      std::memcmp(file.data() + 8, "WAVE", 4) != 0)
    return fail("not a RIFF WAVE file");
  if (Le32(file.data() + 4) != file.size() - 8)
    return fail("RIFF size does not match the file");
  bool format_ok = false;
  for (std::size_t at = 12; at + 8 <= file.size();) {
    std::uint32_t size = Le32(file.data() + at + 4);
    const std::uint8_t* body = file.data() + at + 8;
    if (at + 8 + size > file.size())
      return fail("a chunk runs past the end");
    if (std::memcmp(file.data() + at, "fmt ", 4) == 0) {
      format_ok = size >= 16 && Le16(body) == 1 && Le16(body + 2) == 2 && Le32(body + 4) == 44100 &&
                  Le32(body + 8) == 176400 && Le16(body + 12) == 4 && Le16(body + 14) == 16;
    } else if (std::memcmp(file.data() + at, "data", 4) == 0) {
      if (!format_ok)
        return fail("no CD-audio format chunk before the data");
      return std::vector<std::uint8_t>(body, body + size);
    }
    at += 8 + size + (size & 1);
  }
  return fail("no data chunk");
}

}  // namespace vyn::testing
