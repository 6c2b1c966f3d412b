#include "extract/sector_reader.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "extract/overlap_match.h"
#include "platform/scsi/mmc_commands.h"

namespace vyn {

SectorReader::SectorReader(const std::atomic<std::int32_t>& jitter_correction,
                           ReadCdChannel& channel)
    : jitter_correction_(jitter_correction), channel_(channel) {}

void SectorReader::Prepare(const DriveRecord& drive, int track_index) {
  Release();
  drive_ = &drive;
  read_buffer_.reset(new (std::nothrow) BYTE[kChunkBytes]);
  reference_sector_.reset(new (std::nothrow) BYTE[kSectorBytes]);
  range_ = RangeOfTrack(drive.toc, track_index);
  current_lba_ = 0;
  sectors_remaining_ = range_.sectors();
  bytes_remaining_ = static_cast<std::uint32_t>(range_.sectors()) * kSectorBytes;
  first_read_ = true;
  progress_ = 0;
}

void SectorReader::Release() {
  read_buffer_.reset();
  reference_sector_.reset();
}

ReadStatus SectorReader::ReadNext(std::span<BYTE> output, std::uint32_t* length) {
  if (length == nullptr) {
    error_ = Message::kReaderNoResultPlace;
    return ReadStatus::kFailed;
  }
  if (!read_buffer_ || output.size() < kChunkBytes) {
    error_ = Message::kReaderNoBuffer;
    return ReadStatus::kFailed;
  }
  if (first_read_) {
    current_lba_ = range_.first_lba;
    sectors_remaining_ = range_.end_lba - current_lba_;
  }
  if (bytes_remaining_ == 0) {
    progress_ = 100;
    *length = 0;
    return ReadStatus::kChunk;
  }
  const std::int32_t span = range_.sectors();
  progress_ = span == 0
                  ? 0
                  : std::clamp(static_cast<int>(100.0 - sectors_remaining_ * 100.0 / span), 0, 100);

  const bool matching = jitter_correction_.load(std::memory_order_relaxed) != 0;
  const std::int32_t overlap = matching ? kOverlapSectors : 0;
  const std::int32_t count = ChunkSectors();
  const std::uint32_t chunk_bytes = static_cast<std::uint32_t>(count) * kSectorBytes;
  const std::int32_t asked = ReadChunk(count);
  const std::span<const BYTE> chunk(read_buffer_.get(), chunk_bytes);
  std::span<const BYTE> reference;
  if (reference_sector_)
    reference = std::span<const BYTE>(reference_sector_.get(), kSectorBytes);
  // The first chunk is delivered whole; so is one of which nothing could be
  // asked for, being past the session's audio (it is silence).
  const bool search = matching && !first_read_ && asked > 0;
  first_read_ = false;

  // A chunk cut short at the end of the session's audio cannot reach
  // further, so a read the drive started early lacks the stream's last
  // samples, or even the reference. The displacement changes from read to
  // read: such a chunk is read again a few times, and the attempt whose
  // data reaches furthest behind the reference is delivered.
  OverlapMatch match;
  std::uint32_t delivered = 0;
  std::int64_t best_reach = 0;
  for (int attempt = 0;; ++attempt) {
    const OverlapMatch candidate = search ? MatchOverlap(reference, chunk) : OverlapMatch{};
    const std::int64_t reach =
        candidate.miss ? -1 : std::int64_t{asked} * kSectorBytes - std::int64_t{candidate.offset};
    if (attempt == 0 || reach > best_reach) {
      match = candidate;
      best_reach = reach;
      delivered = std::min(chunk_bytes - match.offset, bytes_remaining_);
      std::memcpy(output.data(), chunk.data() + match.offset, delivered);
    }
    const bool complete = !candidate.miss && reach >= std::int64_t{bytes_remaining_};
    if (!search || asked >= count || complete || attempt == kTailRereads)
      break;
    ReadChunk(count);
  }
  if (reference_sector_) {
    const std::uint32_t kept = std::min(chunk_bytes, kSectorBytes);
    std::memcpy(reference_sector_.get(), chunk.data() + chunk_bytes - kept, kept);
  }
  *length = delivered;
  current_lba_ += count - overlap;
  sectors_remaining_ -= count - overlap;
  bytes_remaining_ -= delivered;
  return match.miss ? ReadStatus::kChunkAfterJitterMiss : ReadStatus::kChunk;
}

// Full chunks while at least kChunkSectors remain; then exactly what
// remains; near the end, kOverlapSectors more, so that a chunk with
// correction on is always longer than its overlap. Never less than one
// sector, so a stream whose delivery lags its counters (after misses)
// still ends.
std::int32_t SectorReader::ChunkSectors() const {
  std::int32_t count = sectors_remaining_;
  if (count >= kChunkSectors)
    return kChunkSectors;
  if (count < 8)
    count += kOverlapSectors;
  return std::clamp(count, 1, kChunkSectors);
}

// Sectors the drive does not deliver stay zero: a failed, timed-out or
// short command is silence, and so are the sectors past the end of the
// session's audio, which are not asked for.
std::int32_t SectorReader::ReadChunk(std::int32_t count) {
  std::memset(read_buffer_.get(), 0, static_cast<std::size_t>(count) * kSectorBytes);
  const std::int64_t readable = std::int64_t{range_.read_limit_lba} - current_lba_;
  const auto asked = static_cast<std::int32_t>(std::clamp<std::int64_t>(readable, 0, count));
  if (asked == 0 || drive_ == nullptr)
    return asked;
  const auto cdb = mmc::ReadCdCommand(drive_->lun, current_lba_, static_cast<std::uint16_t>(asked));
  (void)channel_.Execute(*drive_, cdb, read_buffer_.get(),
                         static_cast<DWORD>(asked) * kSectorBytes);
  return asked;
}

}  // namespace vyn
