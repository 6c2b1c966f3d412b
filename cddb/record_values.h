// The values a file name is made from, read from a CDDB entry text by the
// naming rules: the leading block of "#" lines is skipped; each later line
// that ends in LF and has a non-empty value after its first "=" is read by
// its key; a later line replaces an earlier value. Values are used as they
// stand (no escape decoding, continuation lines not joined).
//
// Thread-safe: no state.
#pragma once

#include <string>
#include <string_view>

namespace vyn {

struct RecordValues {
  std::u16string artist;       // DTITLE before its first "/", spaces trimmed
  std::u16string track_title;  // TTITLEn where n is the whole number after TTITLE
  std::u16string album;        // DTITLE after its first "/", spaces trimmed
  std::u16string year;         // DYEAR
  std::u16string genre;        // DGENRE
  std::u16string disc_id;      // DISCID
};

RecordValues ReadRecordValues(std::u16string_view entry_text, int track_index);

}  // namespace vyn
