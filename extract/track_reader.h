// What the extraction worker reads a track through: prepared once per job,
// then asked for chunk after chunk until nothing remains. SectorReader is
// the real one; tests put a reader in its place that fails on cue.
//
// Home thread: the extraction worker.
#pragma once

#include <cstdint>
#include <span>

#include "control/messages.h"
#include "drive/drive_record.h"
#include "platform/win/types.h"

namespace vyn {

enum class ReadStatus {
  kChunk,                 // the out length holds the bytes placed (0 at the end)
  kChunkAfterJitterMiss,  // the same, but the overlap was not found
  kFailed,                // error() names the failure
};

class TrackReader {
 public:
  virtual ~TrackReader() = default;
  // Starts a job on track `track_index` (0-based) of `drive`, which must
  // outlive the job.
  virtual void Prepare(const DriveRecord& drive, int track_index) = 0;
  // Reads the next chunk into `output` and stores the bytes placed in
  // *length; kChunk with *length 0 once everything is delivered.
  virtual ReadStatus ReadNext(std::span<BYTE> output, std::uint32_t* length) = 0;
  // Frees the job's buffers.
  virtual void Release() = 0;
  // Percent done before the last read, 0..100.
  virtual int progress() const = 0;
  virtual std::uint32_t bytes_remaining() const = 0;
  // The failure of the last kFailed result.
  virtual Message error() const = 0;
};

}  // namespace vyn
