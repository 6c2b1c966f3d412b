// Opens what a virtual drive holds from its textual form: a CUE sheet's
// path, a synthetic description ("synthetic:…", see synthetic_disc.h), or
// "empty" for a drive without a disc.
//
// Stateless; thread-safe.
#pragma once

#include <memory>
#include <string_view>

#include "platform/com/result.h"
#include "virtual/disc.h"

namespace vyn::virtual_drive {

inline constexpr std::string_view kEmptyDrive = "empty";

// The disc, or null for "empty"; an error names what is wrong with the image.
Result<std::shared_ptr<const Disc>> OpenDiscImage(std::string_view image);

}  // namespace vyn::virtual_drive
