#include "virtual/disc_image.h"

#include <string>

#include "virtual/cue_loader.h"
#include "virtual/synthetic_disc.h"

namespace vyn::virtual_drive {

Result<std::shared_ptr<const Disc>> OpenDiscImage(std::string_view image) {
  if (image == kEmptyDrive)
    return std::shared_ptr<const Disc>();
  auto disc = image.substr(0, kSyntheticPrefix.size()) == kSyntheticPrefix
                  ? BuildSyntheticDisc(image)
                  : LoadCueDisc(std::string(image));
  if (!disc)
    return disc.error();
  return std::make_shared<const Disc>(std::move(*disc));
}

}  // namespace vyn::virtual_drive
