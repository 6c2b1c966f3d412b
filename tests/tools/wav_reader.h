// Reads a WAV file the way a player would, for tests: the RIFF header and
// chunk sizes must agree with the file, the format must be CD audio, and
// the data chunk's bytes are returned.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vyn::testing {

// The PCM bytes of a well-formed 44,100 Hz 16-bit stereo WAV file; nothing
// (with `why` set) when the file is missing or malformed.
std::optional<std::vector<std::uint8_t>> ReadCdWav(const std::string& path, std::string* why);

std::vector<std::uint8_t> ReadWholeFile(const std::string& path);

}  // namespace vyn::testing
