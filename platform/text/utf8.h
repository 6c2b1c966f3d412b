// UTF-8 to and from UTF-16. Ill-formed input (bad or truncated sequences,
// overlong forms, encoded surrogates, code points above U+10FFFF in UTF-8;
// unpaired surrogates in UTF-16) becomes U+FFFD, one per maximal ill-formed
// subpart as Unicode recommends, or fails the conversion when asked to.
// Internal to platform/text; callers use code_page.h.
#pragma once

#include <string_view>

#include "platform/text/transcode.h"

namespace vyn::text {

inline constexpr char16_t kReplacementCharacter = 0xFFFD;

// dst null: count only.
Transcoded Utf8ToUtf16(std::string_view src,
                       char16_t* dst,
                       std::size_t capacity,
                       OnInvalid onInvalid);
Transcoded Utf16ToUtf8(std::u16string_view src,
                       char* dst,
                       std::size_t capacity,
                       OnInvalid onInvalid);

}  // namespace vyn::text
