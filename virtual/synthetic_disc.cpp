#include "virtual/synthetic_disc.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace vyn::virtual_drive {
namespace {

constexpr std::uint16_t kRightMarker = 0xA000;

Error Fail(std::string message) {
  return Error{E_INVALIDARG, "synthetic disc: " + std::move(message)};
}

// Audio generated from the disc's byte offset (the region's source offset
// is its first LBA × 2352), so the samples encode absolute positions.
class SyntheticAudioSource final : public SectorSource {
 public:
  bool Read(std::uint64_t offset, std::size_t length, BYTE* out) const override {
    std::uint64_t n = offset / 4;
    std::size_t skip = static_cast<std::size_t>(offset % 4);
    while (length > 0) {
      BYTE frame[4];
      EncodeSyntheticFrame(static_cast<std::uint32_t>(n), frame);
      if (skip == 0 && length >= 4) {
        std::memcpy(out, frame, 4);  // the common, aligned case
        out += 4;
        length -= 4;
      } else {
        const std::size_t take = std::min<std::size_t>(4 - skip, length);
        std::memcpy(out, frame + skip, take);
        out += take;
        length -= take;
        skip = 0;
      }
      ++n;
    }
    return true;
  }
};

class SyntheticDataSource final : public SectorSource {
 public:
  bool Read(std::uint64_t offset, std::size_t length, BYTE* out) const override {
    BYTE sector[kSectorBytes];
    while (length > 0) {
      const auto lba = static_cast<std::int32_t>(offset / kSectorBytes);
      const std::size_t within = static_cast<std::size_t>(offset % kSectorBytes);
      const std::size_t take = std::min<std::size_t>(kSectorBytes - within, length);
      FillSyntheticDataSector(lba, sector);
      std::memcpy(out, sector + within, take);
      out += take;
      offset += take;
      length -= take;
    }
    return true;
  }
};

BYTE Bcd(int value) {
  return static_cast<BYTE>((value / 10) << 4 | (value % 10));
}

}  // namespace

Result<SyntheticLayout> ParseSyntheticDescription(std::string_view description) {
  if (description.substr(0, kSyntheticPrefix.size()) != kSyntheticPrefix) {
    return Fail("a description begins with 'synthetic:'");
  }
  std::string_view rest = description.substr(kSyntheticPrefix.size());
  SyntheticLayout layout;
  std::int64_t cursor = 0;
  int session = 1;
  while (true) {
    const char kind = rest.empty() ? '\0' : rest.front();
    if (kind != 'a' && kind != 'd')
      return Fail("expected a track ('a' or 'd') in '" + std::string(description) + "'");
    rest.remove_prefix(1);
    std::int64_t frames = 0;
    std::size_t digits = 0;
    while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9' &&
           frames <= kMaxSyntheticFrames) {
      frames = frames * 10 + (rest[digits] - '0');
      ++digits;
    }
    if (digits == 0 || frames < 1)
      return Fail("a track needs a length of at least 1 frame");
    rest.remove_prefix(digits);
    DiscTrack track;
    track.adr_control = kind == 'a' ? kAdrControlAudio : kAdrControlData;
    while (!rest.empty() && (rest.front() == 'p' || rest.front() == 'c')) {
      if (rest.front() == 'p') {
        if (kind == 'd')
          return Fail("a data track has no pre-emphasis");
        track.adr_control |= kControlPreEmphasis;
      } else {
        track.adr_control |= kControlCopyPermitted;
      }
      rest.remove_prefix(1);
    }
    if (layout.tracks.size() == kMaxTracks)
      return Fail("more than 99 tracks");
    track.number = static_cast<int>(layout.tracks.size()) + 1;
    track.session = session;
    track.start_lba = static_cast<std::int32_t>(cursor);
    track.length_frames =
        static_cast<std::int32_t>(std::min<std::int64_t>(frames, kMaxSyntheticFrames + 1));
    cursor += frames;
    if (cursor > kMaxSyntheticFrames)
      return Fail("the disc is longer than 450000 frames");
    layout.tracks.push_back(track);
    if (rest.empty())
      break;
    if (rest.front() == '|') {
      ++session;
      cursor += kSessionGapFrames;
    } else if (rest.front() != ',') {
      return Fail("unexpected '" + std::string(1, rest.front()) + "'");
    }
    rest.remove_prefix(1);
  }
  layout.lead_out_lba = static_cast<std::int32_t>(cursor);
  return layout;
}

Result<Disc> BuildSyntheticDisc(std::string_view description) {
  auto layout = ParseSyntheticDescription(description);
  if (!layout)
    return layout.error();
  const auto audio = std::make_shared<const SyntheticAudioSource>();
  const auto data = std::make_shared<const SyntheticDataSource>();
  std::vector<DiscRegion> regions;
  for (const DiscTrack& track : layout->tracks) {
    regions.push_back(DiscRegion{track.start_lba, track.length_frames,
                                 track.IsData() ? std::shared_ptr<const SectorSource>(data) : audio,
                                 static_cast<std::uint64_t>(track.start_lba) * kSectorBytes});
  }
  auto disc = Disc::Create(std::move(layout->tracks), std::move(regions), layout->lead_out_lba);
  if (!disc)
    return disc.error();
  return disc;
}

void EncodeSyntheticFrame(std::uint32_t n, BYTE out[4]) {
  const std::uint16_t right = kRightMarker | static_cast<std::uint16_t>((n >> 16) & 0x0FFF);
  out[0] = static_cast<BYTE>(n);
  out[1] = static_cast<BYTE>(n >> 8);
  out[2] = static_cast<BYTE>(right);
  out[3] = static_cast<BYTE>(right >> 8);
}

std::optional<std::uint32_t> DecodeSyntheticFrame(const BYTE bytes[4]) {
  const std::uint16_t right = static_cast<std::uint16_t>(bytes[2] | bytes[3] << 8);
  if ((right & 0xF000) != kRightMarker)
    return std::nullopt;
  return static_cast<std::uint32_t>(bytes[0] | bytes[1] << 8) |
         static_cast<std::uint32_t>(right & 0x0FFF) << 16;
}

std::int64_t FirstWrongSyntheticFrame(std::span<const BYTE> pcm, std::uint32_t expected_first) {
  const std::size_t frames = pcm.size() / 4;
  for (std::size_t i = 0; i < frames; ++i) {
    const auto n = DecodeSyntheticFrame(pcm.data() + 4 * i);
    if (!n || *n != expected_first + i)
      return static_cast<std::int64_t>(i);
  }
  return pcm.size() % 4 == 0 ? -1 : static_cast<std::int64_t>(frames);
}

void FillSyntheticDataSector(std::int32_t lba, BYTE out[kSectorBytes]) {
  std::memset(out, 0, kSectorBytes);
  std::memset(out + 1, 0xFF, 10);  // sync: 00, ten FF, 00
  const int address = lba + 150;
  out[12] = Bcd(address / 4500);
  out[13] = Bcd(address / 75 % 60);
  out[14] = Bcd(address % 75);
  out[15] = 0x01;  // mode 1
  const auto value = static_cast<std::uint32_t>(lba);
  const BYTE group[8] = {'D',
                         'A',
                         'T',
                         'A',
                         static_cast<BYTE>(value),
                         static_cast<BYTE>(value >> 8),
                         static_cast<BYTE>(value >> 16),
                         static_cast<BYTE>(value >> 24)};
  for (int i = 16; i < 16 + 2048; i += 8)
    std::memcpy(out + i, group, 8);
}

}  // namespace vyn::virtual_drive
