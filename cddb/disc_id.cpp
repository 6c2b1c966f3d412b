#include "cddb/disc_id.h"

#include <algorithm>
#include <cstdio>

namespace vyn {
namespace {

constexpr std::uint32_t kLeadInFrames = 150;

// Whole seconds of an address counted from the start of the lead-in, i.e.
// minutes * 60 + seconds of its MSF form.
std::uint32_t Seconds(std::int32_t lba) {
  return (static_cast<std::uint32_t>(lba) + kLeadInFrames) / kFramesPerSecond;
}

// Tracks of the table; -1 for an empty one. The lead-out is entry T.
std::int32_t TrackCountOf(const DiscToc& toc) {
  return std::min(toc.entry_count, kMaxTocEntries) - 1;
}

}  // namespace

int DigitSum(std::int64_t x) {
  int sum = 0;
  while (x > 0) {
    sum += static_cast<int>(x % 10);
    x /= 10;
  }
  return sum;
}

std::uint32_t CddbDiscId(const DiscToc& toc) {
  const std::int32_t tracks = TrackCountOf(toc);
  std::uint32_t checksum = 0;
  std::uint32_t total_seconds = 0;
  for (std::int32_t i = 0; i < tracks; ++i)
    checksum += static_cast<std::uint32_t>(DigitSum(Seconds(toc.start_lba[i])));
  // Each end is truncated to whole seconds before subtracting.
  if (tracks > 0)
    total_seconds = Seconds(toc.start_lba[tracks]) - Seconds(toc.start_lba[0]);
  return ((checksum % 255) << 24) | (total_seconds << 8) | static_cast<std::uint32_t>(tracks);
}

std::string CddbQueryCommand(const DiscToc& toc) {
  const std::int32_t tracks = TrackCountOf(toc);
  char figure[32];
  std::snprintf(figure, sizeof figure, "cddb query %08x %d", CddbDiscId(toc), tracks);
  std::string command = figure;
  for (std::int32_t i = 0; i < tracks; ++i) {
    std::snprintf(figure, sizeof figure, " %d", toc.start_lba[i] + 150);
    command += figure;
  }
  // The disc length is the lead-out's second; without any entry it is what
  // a missing last frame (-1) gives: (-1 + 151) / 75 = 2.
  const std::uint32_t length = tracks >= 0 ? Seconds(toc.start_lba[tracks]) : 2;
  std::snprintf(figure, sizeof figure, " %u", length);
  return command + figure;
}

std::string CddbReadCommand(std::string_view category, std::string_view disc_id) {
  std::string command = "cddb read ";
  command.append(category);
  command += ' ';
  command.append(disc_id);
  return command;
}

}  // namespace vyn
