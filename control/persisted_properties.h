// The control's saved state: a 32-bit little-endian version word (0x300)
// and the raw 32-bit contents of the JitterCorrection and OverwritePrompt
// fields, 12 bytes in all. Hosts that store forms depend on this layout.
#pragma once

#include "platform/com/result.h"
#include "platform/com/stream.h"

namespace vyn {

inline constexpr DWORD kPersistedVersion = 0x300;
inline constexpr ULONG kPersistedSize = 12;
// The stream that holds the state inside a storage.
inline constexpr char16_t kPersistedStreamName[] = u"Contents";

struct PersistedProperties {
  LONG jitter_correction = 0;
  LONG overwrite_prompt = 1;
};

Result<void> SaveProperties(IStream& stream, const PersistedProperties& properties);
// E_FAIL for a version above 0x300 or a stream that ends early; nothing
// after the 12 bytes is read.
Result<PersistedProperties> LoadProperties(IStream& stream);

}  // namespace vyn
