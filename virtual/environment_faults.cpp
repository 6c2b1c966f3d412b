#include "virtual/environment_faults.h"

#include <charconv>
#include <cstdio>
#include <string_view>

namespace vyn::virtual_drive {
namespace {

bool ParseUnsigned(std::string_view text, std::uint32_t* value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

void Warn(const char* name, const char* value) {
  std::fprintf(stderr, "libwnaspi32: ignoring %s=%s (malformed)\n", name, value);
}

bool ParseRanges(std::string_view text, std::vector<EnvironmentFaults::Range>* ranges) {
  while (!text.empty()) {
    const std::size_t comma = text.find(',');
    const std::string_view item = text.substr(0, comma);
    text.remove_prefix(comma == std::string_view::npos ? text.size() : comma + 1);
    const std::size_t dash = item.find('-');
    std::uint32_t first = 0;
    std::uint32_t last = 0;
    if (!ParseUnsigned(item.substr(0, dash), &first))
      return false;
    last = first;
    if (dash != std::string_view::npos && !ParseUnsigned(item.substr(dash + 1), &last))
      return false;
    if (last < first || last > 0x7FFFFFFE)
      return false;
    ranges->push_back(
        {static_cast<std::int32_t>(first), static_cast<std::int32_t>(last - first + 1)});
  }
  return true;
}

}  // namespace

EnvironmentFaults ParseEnvironmentFaults(const std::function<const char*(const char*)>& lookup) {
  EnvironmentFaults faults;
  if (const char* value = lookup("VYN_VIRTUAL_JITTER")) {
    const std::string_view text(value);
    const std::size_t colon = text.find(':');
    std::uint32_t bound = 0;
    std::uint32_t seed = 1;
    if (ParseUnsigned(text.substr(0, colon), &bound) &&
        (colon == std::string_view::npos || ParseUnsigned(text.substr(colon + 1), &seed))) {
      faults.jitter_bound = bound;
      faults.jitter_seed = seed;
    } else {
      Warn("VYN_VIRTUAL_JITTER", value);
    }
  }
  if (const char* value = lookup("VYN_VIRTUAL_UNREADABLE")) {
    std::vector<EnvironmentFaults::Range> ranges;
    if (ParseRanges(value, &ranges)) {
      faults.unreadable = std::move(ranges);
    } else {
      Warn("VYN_VIRTUAL_UNREADABLE", value);
    }
  }
  if (const char* value = lookup("VYN_VIRTUAL_DELAY_MS")) {
    if (!ParseUnsigned(value, &faults.delay_ms))
      Warn("VYN_VIRTUAL_DELAY_MS", value);
  }
  if (const char* value = lookup("VYN_VIRTUAL_NEVER_COMPLETE")) {
    faults.never_complete = std::string_view(value) == "1";
  }
  if (const char* value = lookup("VYN_VIRTUAL_IMMEDIATE")) {
    faults.immediate = std::string_view(value) == "1";
  }
  return faults;
}

}  // namespace vyn::virtual_drive
