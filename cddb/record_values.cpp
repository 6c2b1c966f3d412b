#include "cddb/record_values.h"

#include <cstdint>

namespace vyn {
namespace {

std::u16string_view TrimSpaces(std::u16string_view text) {
  while (!text.empty() && text.front() == u' ')
    text.remove_prefix(1);
  while (!text.empty() && text.back() == u' ')
    text.remove_suffix(1);
  return text;
}

// The position after the leading block of lines that start with "#".
std::size_t SkipLeadingComments(std::u16string_view text) {
  std::size_t at = 0;
  while (at < text.size() && text[at] == u'#') {
    const std::size_t lf = text.find(u'\n', at);
    if (lf == std::u16string_view::npos)
      return text.size();
    at = lf + 1;
  }
  return at;
}

// The whole number after "TTITLE" (0 when no digit follows) is this track's.
bool IsTitleOfTrack(std::u16string_view line, int track_index) {
  constexpr std::u16string_view kPrefix = u"TTITLE";
  std::int64_t number = 0;
  for (char16_t c : line.substr(kPrefix.size())) {
    if (c < u'0' || c > u'9')
      break;
    number = number * 10 + (c - u'0');
    if (number > INT32_MAX)
      return false;  // no track has such an index
  }
  return number == track_index;
}

void ReadLine(std::u16string_view line, int track_index, RecordValues& values) {
  const std::size_t equals = line.find(u'=');
  if (equals == std::u16string_view::npos || equals + 1 == line.size())
    return;
  const std::u16string_view key = line.substr(0, equals);
  const std::u16string_view value = line.substr(equals + 1);
  if (key == u"DISCID") {
    values.disc_id = value;
  } else if (key == u"DTITLE") {
    const std::size_t slash = value.find(u'/');
    if (slash == std::u16string_view::npos)
      return;
    values.artist = TrimSpaces(value.substr(0, slash));
    values.album = TrimSpaces(value.substr(slash + 1));
  } else if (key == u"DGENRE") {
    values.genre = value;
  } else if (key == u"DYEAR") {
    values.year = value;
  } else if (key == u"EXTD") {
    return;
  } else if (line.starts_with(u"TTITLE") && IsTitleOfTrack(line, track_index)) {
    values.track_title = value;
  }
}

}  // namespace

RecordValues ReadRecordValues(std::u16string_view entry_text, int track_index) {
  RecordValues values;
  std::size_t at = SkipLeadingComments(entry_text);
  // Characters after the last LF are not a line.
  for (std::size_t lf; (lf = entry_text.find(u'\n', at)) != std::u16string_view::npos; at = lf + 1)
    ReadLine(entry_text.substr(at, lf - at), track_index, values);
  return values;
}

}  // namespace vyn
