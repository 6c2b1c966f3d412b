// Ripping one track to a WAV file the way the extraction worker does:
// open the sink, prepare the reader, read and deliver chunk by chunk,
// finish. For the end-to-end tests and the benchmark.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "extract/sector_reader.h"
#include "extract/wav_file_sink.h"

namespace vyn::testing {

struct RipOutcome {
  std::string error;  // the text the worker would raise; empty on success
  int jitter_misses = 0;
  std::uint64_t bytes = 0;
};

inline RipOutcome RipTrack(SectorReader& reader,
                           const DriveRecord& drive,
                           int track_index,
                           const std::filesystem::path& path) {
  RipOutcome outcome;
  auto sink = WavFileSink::Open(path.u16string());
  if (!sink) {
    outcome.error = sink.error().message;
    return outcome;
  }
  reader.Prepare(drive, track_index);
  std::vector<BYTE> chunk(kChunkBytes);
  while (true) {
    std::uint32_t length = 0;
    const ReadStatus status = reader.ReadNext(chunk, &length);
    if (status == ReadStatus::kFailed) {
      outcome.error = MessageText(reader.error());
      break;
    }
    if (length == 0)
      break;
    if (status == ReadStatus::kChunkAfterJitterMiss)
      ++outcome.jitter_misses;
    if (auto written = (*sink)->Write(std::span(chunk).first(length)); !written) {
      outcome.error = written.error().message;
      break;
    }
    outcome.bytes += length;
  }
  reader.Release();
  if (auto finished = (*sink)->Finish(); !finished && outcome.error.empty())
    outcome.error = finished.error().message;
  return outcome;
}

}  // namespace vyn::testing
