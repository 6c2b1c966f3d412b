#include "drive/disc_toc.h"

namespace vyn {
namespace {

constexpr int kHeaderBytes = 4;
constexpr int kDescriptorBytes = 8;

std::int32_t BigEndian32(const std::uint8_t* bytes) {
  return static_cast<std::int32_t>((std::uint32_t{bytes[0]} << 24) |
                                   (std::uint32_t{bytes[1]} << 16) |
                                   (std::uint32_t{bytes[2]} << 8) | bytes[3]);
}

}  // namespace

DiscToc ParseTocReply(const TocReply& reply) {
  DiscToc toc;
  int data_length = (reply[0] << 8) | reply[1];
  int descriptors = data_length < 2 ? 0 : (data_length - 2) / kDescriptorBytes;
  constexpr int kFitInReply = (kTocReplyBytes - kHeaderBytes) / kDescriptorBytes;
  if (descriptors > kMaxTocEntries || descriptors > kFitInReply)
    return toc;
  for (int i = 0; i < descriptors; ++i) {
    const std::uint8_t* descriptor = reply.data() + kHeaderBytes + i * kDescriptorBytes;
    toc.adr_control[i] = descriptor[1];
    toc.track_number[i] = descriptor[2];
    toc.start_lba[i] = BigEndian32(descriptor + 4);
  }
  toc.entry_count = descriptors;
  return toc;
}

std::int32_t TrackStartLba(const DiscToc& toc, int number) {
  for (int i = 0; i < toc.entry_count; ++i) {
    if (toc.track_number[i] == number)
      return toc.start_lba[i];
  }
  return -1;
}

std::int32_t TrackEndLba(const DiscToc& toc, int number) {
  for (int j = 0; j < toc.entry_count; ++j) {
    if (toc.track_number[j] != number && toc.track_number[j] != kLeadOutTrack)
      continue;
    int k = j + 1;
    bool kind_changes = ((toc.adr_control[j] ^ toc.adr_control[k]) & kDataTrackBit) != 0;
    if (j >= 1 && kind_changes && toc.track_number[k] != kLeadOutTrack) {
      return toc.start_lba[k] - kSessionGapFrames - 1;
    }
    return toc.start_lba[k] - 1;
  }
  return -1;
}

std::int32_t TrackFrames(const DiscToc& toc, int number) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(TrackEndLba(toc, number)) -
                                   static_cast<std::uint32_t>(TrackStartLba(toc, number)) + 1u);
}

std::uint32_t TrackDurationSeconds(const DiscToc& toc, int number) {
  return static_cast<std::uint32_t>(TrackFrames(toc, number)) / kFramesPerSecond;
}

std::int32_t TrackSizeBytes(const DiscToc& toc, int number) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(TrackFrames(toc, number)) *
                                   static_cast<std::uint32_t>(kFrameBytes));
}

std::uint32_t DiscDurationSeconds(const DiscToc& toc) {
  if (toc.TrackCount() <= 0)
    return 0;
  std::uint32_t frames = static_cast<std::uint32_t>(TrackEndLba(toc, toc.TrackCount())) -
                         static_cast<std::uint32_t>(toc.start_lba[0]) + 1u;
  return frames / kFramesPerSecond;
}

bool IsAudioEntry(const DiscToc& toc, int position) {
  if (position < 0 || position > kMaxTocEntries)
    return false;
  return toc.track_number[position] != kLeadOutTrack &&
         (toc.adr_control[position] & kDataTrackBit) == 0;
}

bool HasAudioTrack(const DiscToc& toc) {
  for (int i = 0; i < toc.entry_count - 1; ++i) {
    if (IsAudioEntry(toc, i))
      return true;
  }
  return false;
}

}  // namespace vyn
