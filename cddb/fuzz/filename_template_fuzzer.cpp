// Feeds arbitrary UTF-16 records and templates to file-name generation: it
// must never crash or read out of bounds, and no name may keep one of the
// seven characters a file name cannot hold.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cddb/filename_template.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2)
    return 0;
  const int track_index = data[0];
  std::u16string units;
  for (std::size_t i = 1; i + 1 < size; i += 2)
    units += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
  // A NUL unit separates the record from the template.
  const std::size_t split = units.find(u'\0');
  const std::u16string_view record = std::u16string_view(units).substr(0, split);
  const std::u16string_view name_template = split == std::u16string::npos
                                                ? std::u16string_view()
                                                : std::u16string_view(units).substr(split + 1);
  auto name = vyn::GenerateFilename(record, track_index, name_template);
  if (!name)
    std::abort();
  if (name->find_first_of(u":*?<>\"|") != std::u16string::npos)
    std::abort();
  return 0;
}
