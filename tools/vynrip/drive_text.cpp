#include "tools/vynrip/drive_text.h"

#include <cstdio>

#include "platform/com/bstr.h"
#include "platform/text/code_page.h"

namespace vyn::rip {

std::string DriveName(IDrive* drive) {
  Bstr name;
  if (FAILED(drive->get_Name(name.Receive())))
    return "(no name)";
  return WideToUtf8(name.View());
}

std::optional<long> TrackCount(IDrive* drive) {
  LONG count = 0;
  if (FAILED(drive->GetTrackNumber(&count)))
    return std::nullopt;
  return count;
}

std::string MinutesSeconds(long seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld", seconds / 60, seconds % 60);
  return text;
}

std::string FramePosition(long lba) {
  char text[32];
  std::snprintf(text, sizeof text, "%02ld:%02ld.%02ld", lba / (75 * 60), lba / 75 % 60, lba % 75);
  return text;
}

}  // namespace vyn::rip
