// Turns the sectors of one audio track into a continuous stream of PCM
// bytes. The disc is read in chunks of at most kChunkSectors with READ CD.
// With jitter correction on, each chunk after the first starts
// kOverlapSectors before the end of the previous one, and the stream
// continues right behind the copy of the previous chunk's last sector
// found in the new one (MatchOverlap), so a drive that starts its reads a
// few samples early or late still gives one seamless stream. Sectors a
// drive does not deliver enter the stream as silence; reads never reach
// past the end of the session's audio (TrackRange).
//
// Home thread: the extraction worker, which owns the reader and prepares
// it once per job. The correction flag belongs to the caller and may be
// changed from any thread; it is read once per chunk.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>

#include "control/messages.h"
#include "drive/drive_record.h"
#include "extract/audio_units.h"
#include "extract/read_cd_channel.h"
#include "extract/track_range.h"
#include "extract/track_reader.h"

namespace vyn {

// Extra reads of a chunk cut short at the end of the session's audio whose
// last samples the drive did not deliver.
inline constexpr int kTailRereads = 8;

class SectorReader final : public TrackReader {
 public:
  // `jitter_correction` is non-zero while correction is on; it must
  // outlive the reader.
  explicit SectorReader(const std::atomic<std::int32_t>& jitter_correction,
                        ReadCdChannel& channel = TransportReadCdChannel());
  SectorReader(const SectorReader&) = delete;
  SectorReader& operator=(const SectorReader&) = delete;

  // Starts a job on track `track_index` (0-based) of `drive`, which must
  // outlive the job: allocates the buffers (a failed allocation surfaces
  // as kReaderNoBuffer from ReadNext) and computes the range.
  void Prepare(const DriveRecord& drive, int track_index) override;
  // Reads the next chunk into `output` (at least kChunkBytes) and stores
  // the bytes placed in *length. Once the range is delivered, returns
  // kChunk with *length 0 and progress 100 without reading.
  ReadStatus ReadNext(std::span<BYTE> output, std::uint32_t* length) override;
  // Frees the buffers; also done by the next Prepare and the destructor.
  void Release() override;

  // Percent done before the last read, 0..100.
  int progress() const override { return progress_; }
  std::uint32_t bytes_remaining() const override { return bytes_remaining_; }
  const TrackRange& range() const { return range_; }
  // The failure of the last kFailed result.
  Message error() const override { return error_; }

 private:
  std::int32_t ChunkSectors() const;
  // Zeroes `count` sectors of the read buffer and reads as many of them as
  // lie before the read limit; the number asked for.
  std::int32_t ReadChunk(std::int32_t count);

  const std::atomic<std::int32_t>& jitter_correction_;
  ReadCdChannel& channel_;
  const DriveRecord* drive_ = nullptr;
  std::unique_ptr<BYTE[]> read_buffer_;       // kChunkBytes
  std::unique_ptr<BYTE[]> reference_sector_;  // kSectorBytes
  TrackRange range_;
  std::int32_t current_lba_ = 0;
  std::int32_t sectors_remaining_ = 0;
  std::uint32_t bytes_remaining_ = 0;
  bool first_read_ = true;
  int progress_ = 0;
  Message error_ = Message::kReaderNoBuffer;
};

}  // namespace vyn
