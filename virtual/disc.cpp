#include "virtual/disc.h"

#include <algorithm>
#include <climits>
#include <string>

namespace vyn::virtual_drive {
namespace {

Error Invalid(std::string message) {
  return Error{E_INVALIDARG, std::move(message)};
}

}  // namespace

Result<Disc> Disc::Create(std::vector<DiscTrack> tracks,
                          std::vector<DiscRegion> regions,
                          std::int32_t lead_out_lba) {
  if (tracks.empty())
    return Invalid("the disc has no tracks");
  if (tracks.size() > kMaxTracks)
    return Invalid("the disc has more than 99 tracks");
  for (std::size_t i = 0; i < tracks.size(); ++i) {
    const DiscTrack& track = tracks[i];
    const std::string name = "track " + std::to_string(track.number);
    if (track.number < 1 || track.number > kMaxTracks)
      return Invalid(name + ": bad number");
    if (track.start_lba < 0 || track.length_frames < 1 ||
        static_cast<std::int64_t>(track.start_lba) + track.length_frames > lead_out_lba) {
      return Invalid(name + ": extent outside the disc");
    }
    if (track.session < 1)
      return Invalid(name + ": bad session");
    if (i > 0) {
      const DiscTrack& previous = tracks[i - 1];
      if (track.number != previous.number + 1)
        return Invalid(name + ": numbers not consecutive");
      if (track.start_lba < previous.start_lba + previous.length_frames) {
        return Invalid(name + ": overlaps the track before it");
      }
      if (track.session < previous.session)
        return Invalid(name + ": session goes backwards");
    }
  }
  std::int64_t end = 0;
  for (const DiscRegion& region : regions) {
    if (!region.source || region.frame_count < 1 || region.first_lba < end) {
      return Invalid("the disc's sector regions overlap or are empty");
    }
    end = static_cast<std::int64_t>(region.first_lba) + region.frame_count;
    if (end > lead_out_lba)
      return Invalid("a sector region runs past the lead-out");
  }
  return Disc(std::move(tracks), std::move(regions), lead_out_lba);
}

const DiscTrack* Disc::TrackAt(std::int32_t lba) const {
  auto after = std::upper_bound(tracks_.begin(), tracks_.end(), lba,
                                [](std::int32_t a, const DiscTrack& t) { return a < t.start_lba; });
  return after == tracks_.begin() ? nullptr : &*(after - 1);
}

int Disc::RegionAt(std::int32_t lba) const {
  auto after =
      std::upper_bound(regions_.begin(), regions_.end(), lba,
                       [](std::int32_t a, const DiscRegion& r) { return a < r.first_lba; });
  if (after == regions_.begin())
    return -1;
  const DiscRegion& region = *(after - 1);
  if (lba >= region.first_lba + region.frame_count)
    return -1;
  return static_cast<int>(after - regions_.begin()) - 1;
}

bool Disc::IsReadable(std::int32_t first_lba, std::int32_t count) const {
  if (count <= 0)
    return true;
  int index = RegionAt(first_lba);
  if (index < 0)
    return false;
  const std::int64_t end = std::int64_t{first_lba} + count;
  std::int64_t covered = std::int64_t{regions_[index].first_lba} + regions_[index].frame_count;
  while (covered < end) {
    ++index;
    if (index == static_cast<int>(regions_.size()) || regions_[index].first_lba != covered)
      return false;
    covered += regions_[index].frame_count;
  }
  return true;
}

bool Disc::Read(std::int64_t offset, std::size_t length, BYTE* out) const {
  if (length == 0)
    return true;
  if (offset < 0 || offset / kSectorBytes > INT32_MAX)
    return false;
  std::int64_t position = offset;
  const std::int64_t end = offset + static_cast<std::int64_t>(length);
  int index = RegionAt(static_cast<std::int32_t>(offset / kSectorBytes));
  if (index < 0)
    return false;
  for (; index < static_cast<int>(regions_.size()); ++index) {
    const DiscRegion& region = regions_[index];
    const std::int64_t region_start = static_cast<std::int64_t>(region.first_lba) * kSectorBytes;
    const std::int64_t region_end = region_start + std::int64_t{region.frame_count} * kSectorBytes;
    if (position < region_start)
      return false;  // a hole between regions
    const std::int64_t stop = std::min(end, region_end);
    const std::uint64_t within = static_cast<std::uint64_t>(position - region_start);
    if (!region.source->Read(region.source_offset + within,
                             static_cast<std::size_t>(stop - position),
                             out + (position - offset))) {
      return false;
    }
    position = stop;
    if (position == end)
      return true;
  }
  return false;
}

}  // namespace vyn::virtual_drive
