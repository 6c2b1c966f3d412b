// Finding where a new chunk continues the stream: the last sector of the
// previous chunk (the reference) is looked for among the leading bytes of
// the new one, from the centre of the search window outward, one stereo
// frame at a time. The nearest candidate to the centre wins, and of two
// equally near the earlier one. Pure function; thread-safe.
#pragma once

#include <cstdint>
#include <span>

#include "platform/win/types.h"

namespace vyn {

struct OverlapMatch {
  // The first byte of `data` behind the matched copy of the reference,
  // where the stream continues; on a miss, the window's centre.
  std::uint32_t offset = 0;
  // The reference was not found although the chunk could have held it.
  bool miss = false;
  friend bool operator==(const OverlapMatch&, const OverlapMatch&) = default;
};

// `reference` is one sector (2352 bytes) or empty when there is none. A
// chunk of one sector or less is never searched.
OverlapMatch MatchOverlap(std::span<const BYTE> reference, std::span<const BYTE> data);

}  // namespace vyn
