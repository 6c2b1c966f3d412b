// Feeds arbitrary text to the CUE sheet parser: it must return a sheet or
// an error, never crash, hang or read out of bounds, and every sheet it
// accepts must satisfy the guarantees its header states.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "virtual/cue_sheet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  auto sheet = vyn::virtual_drive::ParseCueSheet(text);
  if (!sheet)
    return 0;
  if (sheet->tracks.empty() || sheet->tracks.size() > 99)
    std::abort();
  int previous = 0;
  for (const auto& track : sheet->tracks) {
    if (track.number <= previous || track.number > 99)
      std::abort();
    if (track.file_index < 0 || track.file_index >= static_cast<int>(sheet->files.size()))
      std::abort();
    if (track.index00 && *track.index00 > track.index01)
      std::abort();
    previous = track.number;
  }
  return 0;
}
