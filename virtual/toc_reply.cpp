#include "virtual/toc_reply.h"

namespace vyn::virtual_drive {
namespace {

void PutDescriptor(BYTE* out, BYTE adr_control, BYTE number, std::int32_t lba, TocAddress address) {
  out[0] = 0;
  out[1] = adr_control;
  out[2] = number;
  out[3] = 0;
  if (address == TocAddress::kMsf) {
    const std::int32_t absolute = lba + 150;
    out[4] = 0;
    out[5] = static_cast<BYTE>(absolute / 4500);
    out[6] = static_cast<BYTE>(absolute / 75 % 60);
    out[7] = static_cast<BYTE>(absolute % 75);
  } else {
    const auto value = static_cast<std::uint32_t>(lba);
    out[4] = static_cast<BYTE>(value >> 24);
    out[5] = static_cast<BYTE>(value >> 16);
    out[6] = static_cast<BYTE>(value >> 8);
    out[7] = static_cast<BYTE>(value);
  }
}

void PutHeader(TocReply* reply, BYTE first, BYTE last) {
  const std::size_t data_length = reply->length - 2;  // the bytes after the length field
  reply->bytes[0] = static_cast<BYTE>(data_length >> 8);
  reply->bytes[1] = static_cast<BYTE>(data_length);
  reply->bytes[2] = first;
  reply->bytes[3] = last;
}

}  // namespace

std::optional<TocReply> BuildTocReply(const Disc& disc, BYTE start_track, TocAddress address) {
  const auto& tracks = disc.tracks();
  const BYTE first = static_cast<BYTE>(tracks.front().number);
  const BYTE last = static_cast<BYTE>(tracks.back().number);
  if (start_track == 0)
    start_track = 1;
  if (start_track != kLeadOutTrack && start_track > last)
    return std::nullopt;
  TocReply reply;
  reply.length = 4;
  for (const DiscTrack& track : tracks) {
    if (start_track == kLeadOutTrack || track.number < start_track)
      continue;
    PutDescriptor(&reply.bytes[reply.length], track.adr_control, static_cast<BYTE>(track.number),
                  track.start_lba, address);
    reply.length += 8;
  }
  // The lead-out carries the kind of the last track.
  PutDescriptor(&reply.bytes[reply.length], tracks.back().adr_control, kLeadOutTrack,
                disc.lead_out_lba(), address);
  reply.length += 8;
  PutHeader(&reply, first, last);
  return reply;
}

TocReply BuildSessionInfoReply(const Disc& disc, TocAddress address) {
  const auto& tracks = disc.tracks();
  const int last_session = tracks.back().session;
  const DiscTrack* first_of_last = &tracks.back();
  for (const DiscTrack& track : tracks) {
    if (track.session == last_session) {
      first_of_last = &track;
      break;
    }
  }
  TocReply reply;
  reply.length = 12;
  PutDescriptor(&reply.bytes[4], first_of_last->adr_control,
                static_cast<BYTE>(first_of_last->number), first_of_last->start_lba, address);
  PutHeader(&reply, 1, static_cast<BYTE>(last_session));
  return reply;
}

}  // namespace vyn::virtual_drive
