#include "cddb/filename_template.h"

#include <cstdio>

#include "cddb/cddb_error.h"

namespace vyn {
namespace {

std::u16string TrackNumber(int track_index) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%02d", track_index + 1);
  return std::u16string(digits, digits + std::char_traits<char>::length(digits));
}

}  // namespace

std::u16string ExpandFilenameTemplate(std::u16string_view name_template,
                                      const RecordValues& values,
                                      int track_index) {
  std::u16string name;
  for (std::size_t i = 0; i < name_template.size(); ++i) {
    const char16_t c = name_template[i];
    if (c != u'%') {
      name += c;
      continue;
    }
    if (++i == name_template.size()) {
      name += u'%';
      break;
    }
    switch (const char16_t code = name_template[i]) {
      case u'%':
        name += u'%';
        break;
      case u'1':
        name += values.artist;
        break;
      case u'2':
        name += values.track_title;
        break;
      case u'3':
        name += values.album;
        break;
      case u'4':
        name += values.year;
        break;
      case u'5':
        name += values.genre;
        break;
      case u'6':
        name += TrackNumber(track_index);
        break;
      case u'7':
        name += values.disc_id;
        break;
      default:
        name += u'%';
        name += code;
    }
  }
  return name;
}

std::u16string CleanFilename(std::u16string name) {
  constexpr std::u16string_view kRejected = u":*?<>\"|";
  for (char16_t& c : name) {
    if (kRejected.find(c) != std::u16string_view::npos)
      c = u'_';
  }
  return name;
}

Result<std::u16string> GenerateFilename(std::optional<std::u16string_view> active_entry_text,
                                        int track_index,
                                        std::u16string_view name_template) {
  if (!active_entry_text)
    return CddbError(Message::kNoActiveCddbRecord);
  const RecordValues values = ReadRecordValues(*active_entry_text, track_index);
  return CleanFilename(ExpandFilenameTemplate(name_template, values, track_index));
}

}  // namespace vyn
