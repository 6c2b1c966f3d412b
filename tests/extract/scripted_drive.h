// A READ CD channel for the sector reader's tests: serves the audio of a
// synthetic disc (every stereo frame says where it is), records each
// command block, refuses commands that reach the lead-out as a drive does,
// and can start each read displaced by a scripted number of stereo frames
// or fail chosen commands.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <set>
#include <vector>

#include "drive/drive_record.h"
#include "extract/read_cd_channel.h"
#include "platform/scsi/aspi.h"
#include "virtual/synthetic_disc.h"

namespace vyn::testing {

struct RecordedRead {
  std::vector<BYTE> cdb;
  std::int32_t lba = 0;
  std::int32_t count = 0;
  DWORD length = 0;
};

class ScriptedDrive final : public ReadCdChannel {
 public:
  explicit ScriptedDrive(std::int32_t lead_out_lba) : lead_out_lba_(lead_out_lba) {}

  // Displacement in stereo frames of the n-th command (0-based); 0 when unset.
  std::function<std::int32_t(int)> displacement;
  std::set<int> failing_commands;
  std::vector<RecordedRead> reads;

  BYTE Execute(const DriveRecord&, std::span<const BYTE> cdb, BYTE* buffer, DWORD length) override {
    RecordedRead read;
    read.cdb.assign(cdb.begin(), cdb.end());
    read.lba = static_cast<std::int32_t>((std::uint32_t{cdb[2]} << 24) | (cdb[3] << 16) |
                                         (cdb[4] << 8) | cdb[5]);
    read.count = (cdb[7] << 8) | cdb[8];
    read.length = length;
    const int index = static_cast<int>(reads.size());
    reads.push_back(read);
    if (failing_commands.count(index) || read.lba + read.count > lead_out_lba_)
      return SS_ERR;
    const std::int64_t shift = displacement ? displacement(index) : 0;
    const std::int64_t first = std::int64_t{read.lba} * 588 + shift;
    for (std::int64_t i = 0; i < std::int64_t{read.count} * 588; ++i) {
      const std::int64_t frame = first + i;
      if (frame < 0 || frame >= std::int64_t{lead_out_lba_} * 588) {
        std::memset(buffer + i * 4, 0, 4);
      } else {
        virtual_drive::EncodeSyntheticFrame(static_cast<std::uint32_t>(frame), buffer + i * 4);
      }
    }
    return SS_COMP;
  }

 private:
  std::int32_t lead_out_lba_;
};

// A table of contents with audio tracks of the given lengths from LBA 0,
// then the lead-out.
inline DiscToc AudioToc(std::initializer_list<std::int32_t> lengths) {
  DiscToc toc;
  std::int32_t lba = 0;
  int i = 0;
  for (std::int32_t length : lengths) {
    toc.adr_control[i] = 0x10;
    toc.track_number[i] = static_cast<std::uint8_t>(i + 1);
    toc.start_lba[i] = lba;
    lba += length;
    ++i;
  }
  toc.adr_control[i] = 0x10;
  toc.track_number[i] = kLeadOutTrack;
  toc.start_lba[i] = lba;
  toc.entry_count = i + 1;
  return toc;
}

}  // namespace vyn::testing
