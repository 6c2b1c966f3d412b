#include "virtual/cue_loader.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "virtual/bin_file.h"

namespace vyn::virtual_drive {
namespace {

constexpr std::size_t kMaxCueBytes = 1 << 20;
// Far beyond any CD; keeps every address well inside 32 bits.
constexpr std::int64_t kMaxDiscFrames = 4'500'000;

Error Fail(std::string message) {
  return Error{E_INVALIDARG, std::move(message)};
}

std::string TimeText(std::int64_t frames) {
  char text[32];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(frames / 4500),
                static_cast<long long>(frames / 75 % 60), static_cast<long long>(frames % 75));
  return text;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
}

std::int32_t FirstIndex(const CueTrack& track) {
  return track.index00.value_or(track.index01);
}

BYTE AdrControl(const CueTrack& track) {
  if (track.mode == CueTrackMode::kAudio)
    return kAdrControlAudio | track.flags;
  return kAdrControlData | (track.flags & kControlCopyPermitted);
}

}  // namespace

Result<Disc> LoadCueDisc(const std::string& cue_path) {
  std::ifstream in(cue_path, std::ios::binary);
  if (!in)
    return Error{E_FAIL, "cannot open the CUE sheet '" + cue_path + "'"};
  std::string text(kMaxCueBytes + 1, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in.gcount()));
  if (text.size() > kMaxCueBytes)
    return Fail("'" + cue_path + "' is too large for a CUE sheet");
  auto sheet = ParseCueSheet(text);
  if (!sheet)
    return Fail("'" + cue_path + "': " + sheet.error().message);
  auto disc = BuildCueDisc(*sheet, FolderOf(cue_path));
  if (!disc)
    return Error{disc.error().code, "'" + cue_path + "': " + disc.error().message};
  return disc;
}

Result<Disc> BuildCueDisc(const CueSheet& sheet, const std::string& folder) {
  // Open the files the tracks use.
  std::vector<std::shared_ptr<const BinFile>> files(sheet.files.size());
  std::vector<std::int64_t> file_frames(sheet.files.size(), 0);
  for (const CueTrack& track : sheet.tracks) {
    const int f = track.file_index;
    if (files[f])
      continue;
    const std::string& name = sheet.files[f].name;
    const std::string path = !name.empty() && name[0] == '/' ? name : folder + "/" + name;
    auto file = BinFile::Open(path);
    if (!file)
      return file.error();
    if ((*file)->size() == 0)
      return Fail("'" + name + "' is empty");
    if ((*file)->size() % kSectorBytes != 0) {
      return Fail("'" + name + "' is truncated: " + std::to_string((*file)->size()) +
                  " bytes is not a whole number of 2352-byte sectors");
    }
    files[f] = *file;
    file_frames[f] = static_cast<std::int64_t>((*file)->size() / kSectorBytes);
  }

  const auto silence = std::make_shared<const SilenceSource>();
  std::vector<DiscTrack> tracks;
  std::vector<DiscRegion> regions;
  std::vector<std::int64_t> session_ends;  // end of each finished session
  std::int64_t cursor = 0;                 // the next address to map
  int session = 1;
  const std::size_t count = sheet.tracks.size();
  for (std::size_t i = 0; i < count; ++i) {
    const CueTrack& track = sheet.tracks[i];
    const int f = track.file_index;
    const std::string number = "track " + std::to_string(track.number);
    const bool first_in_file = i == 0 || sheet.tracks[i - 1].file_index != f;
    const bool next_in_file = i + 1 < count && sheet.tracks[i + 1].file_index == f;
    const std::int64_t region_start = first_in_file ? 0 : FirstIndex(track);
    const std::int64_t region_end = next_in_file ? FirstIndex(sheet.tracks[i + 1]) : file_frames[f];
    if (track.index01 >= file_frames[f]) {
      return Fail(number + " starts at " + TimeText(track.index01) + " but '" +
                  sheet.files[f].name + "' holds only " + TimeText(file_frames[f]) +
                  " (truncated?)");
    }
    if (region_end <= track.index01)
      return Fail(number + " has no frames");

    std::int64_t map_from = region_start;
    if (i > 0 && track.session != sheet.tracks[i - 1].session) {
      session_ends.push_back(cursor);
      ++session;
      cursor += kSessionGapFrames;
      map_from = track.index01;  // earlier frames of the file would fall into the gap
    } else if (i > 0 && track.pregap_frames > 0) {
      regions.push_back(
          DiscRegion{static_cast<std::int32_t>(cursor), track.pregap_frames, silence, 0});
      cursor += track.pregap_frames;
    }
    const std::int64_t shift = cursor - map_from;  // address = file frame + shift
    if (region_end + shift > kMaxDiscFrames)
      return Fail("the image is far larger than a CD");
    regions.push_back(DiscRegion{static_cast<std::int32_t>(cursor),
                                 static_cast<std::int32_t>(region_end - map_from), files[f],
                                 static_cast<std::uint64_t>(map_from) * kSectorBytes});
    DiscTrack disc_track;
    disc_track.number = track.number;
    disc_track.adr_control = AdrControl(track);
    disc_track.session = session;
    disc_track.start_lba = static_cast<std::int32_t>(track.index01 + shift);
    tracks.push_back(disc_track);
    cursor = region_end + shift;
  }
  session_ends.push_back(cursor);

  for (std::size_t i = 0; i < tracks.size(); ++i) {
    const bool last_of_session =
        i + 1 == tracks.size() || tracks[i + 1].session != tracks[i].session;
    const std::int64_t end =
        last_of_session ? session_ends[tracks[i].session - 1] : tracks[i + 1].start_lba;
    tracks[i].length_frames = static_cast<std::int32_t>(end - tracks[i].start_lba);
  }
  auto disc =
      Disc::Create(std::move(tracks), std::move(regions), static_cast<std::int32_t>(cursor));
  if (!disc)
    return disc.error();
  return disc;
}

}  // namespace vyn::virtual_drive
