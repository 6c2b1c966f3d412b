#include "extract/overlap_match.h"

#include <algorithm>
#include <cstring>

#include "extract/audio_units.h"

namespace vyn {

OverlapMatch MatchOverlap(std::span<const BYTE> reference, std::span<const BYTE> data) {
  const auto length = static_cast<std::uint32_t>(data.size());
  const std::uint32_t window = std::min(length, kSearchWindowBytes);
  if (reference.size() != kSectorBytes || data.empty() || window <= kSectorBytes)
    return {};
  const std::uint32_t half = (window - kSectorBytes) / 2;
  auto matches_at = [&](std::uint32_t position) {
    return std::memcmp(data.data() + position, reference.data(), kSectorBytes) == 0;
  };
  for (std::uint32_t i = 0; i < half; i += kStereoFrameBytes) {
    if (matches_at(half - i))
      return {half - i + kSectorBytes, false};
    if (matches_at(half + i))
      return {half + i + kSectorBytes, false};
  }
  return {half < length ? half : length - 1, length > kSectorBytes};
}

}  // namespace vyn
