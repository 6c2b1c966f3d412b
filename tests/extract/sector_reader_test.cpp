#include "extract/sector_reader.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/extract/scripted_drive.h"
#include "tests/extract/synthetic_pcm.h"

namespace vyn {
namespace {

using testing::AudioToc;
using testing::FirstWrongSample;
using testing::ScriptedDrive;

struct Delivery {
  std::vector<BYTE> pcm;
  std::vector<std::uint32_t> lengths;
  std::vector<ReadStatus> statuses;
  std::vector<int> progress;
};

class SectorReaderTest : public ::testing::Test {
 protected:
  // Tracks of 1000, 83 and 500 sectors: the middle one is the subject.
  SectorReaderTest() : SectorReaderTest(AudioToc({1000, 83, 500})) {}
  explicit SectorReaderTest(DiscToc toc) : drive_script_(toc.start_lba[toc.entry_count - 1]) {
    drive_.toc = toc;
    drive_.lun = 1;
  }

  // Reads the whole track as the worker does; `before_chunk` may change
  // the correction flag between chunks.
  Delivery ReadTrack(int track_index, const std::function<void(int)>& before_chunk = {}) {
    reader_.Prepare(drive_, track_index);
    Delivery delivery;
    std::vector<BYTE> output(kChunkBytes);
    for (int chunk = 0; chunk < 1000; ++chunk) {
      if (before_chunk)
        before_chunk(chunk);
      std::uint32_t length = 0;
      ReadStatus status = reader_.ReadNext(output, &length);
      if (status == ReadStatus::kFailed) {
        ADD_FAILURE() << "read failed";
        break;
      }
      delivery.progress.push_back(reader_.progress());
      if (length == 0)
        break;
      delivery.pcm.insert(delivery.pcm.end(), output.begin(), output.begin() + length);
      delivery.lengths.push_back(length);
      delivery.statuses.push_back(status);
    }
    reader_.Release();
    return delivery;
  }

  std::vector<std::pair<std::int32_t, std::int32_t>> Reads() const {
    std::vector<std::pair<std::int32_t, std::int32_t>> reads;
    for (const auto& read : drive_script_.reads)
      reads.emplace_back(read.lba, read.count);
    return reads;
  }

  using Reads_t = std::vector<std::pair<std::int32_t, std::int32_t>>;

  DriveRecord drive_;
  std::atomic<std::int32_t> correction_{0};
  ScriptedDrive drive_script_;
  SectorReader reader_{correction_, drive_script_};
};

// Catches wrong command bytes: opcode, LUN bits, big-endian address,
// count, the full-sector selection, or a transfer length that disagrees.
TEST_F(SectorReaderTest, SendsReadCdForFullSectors) {
  ReadTrack(1);
  ASSERT_FALSE(drive_script_.reads.empty());
  const auto& first = drive_script_.reads.front();
  EXPECT_EQ(first.cdb, (std::vector<BYTE>{0xBE, 0x20, 0, 0, 0x03, 0xE8, 0, 0, 26, 0xF8, 0, 0}));
  EXPECT_EQ(first.length, 26u * 2352);
  const auto& last = drive_script_.reads.back();
  EXPECT_EQ(last.cdb[8], 12);
  EXPECT_EQ(last.length, 12u * 2352);
}

// Catches a chunk sequence that overlaps without correction, or a final
// chunk that is not the remainder plus 7 sectors, or that delivers them.
TEST_F(SectorReaderTest, WithoutCorrectionChunksFollowEachOther) {
  Delivery delivery = ReadTrack(1);
  EXPECT_EQ(Reads(), (Reads_t{{1000, 26}, {1026, 26}, {1052, 26}, {1078, 12}}));
  EXPECT_EQ(delivery.lengths, (std::vector<std::uint32_t>{61152, 61152, 61152, 5 * 2352}));
  EXPECT_EQ(delivery.pcm.size(), static_cast<std::size_t>(TrackSizeBytes(drive_.toc, 2)));
  EXPECT_EQ(FirstWrongSample(delivery.pcm, 1000 * 588), "");
}

// Catches an overlap other than 7 sectors, or a stream that continues
// anywhere but right behind the previous chunk's last sector.
TEST_F(SectorReaderTest, WithCorrectionEachChunkRereadsSevenSectors) {
  correction_ = 1;
  Delivery delivery = ReadTrack(1);
  EXPECT_EQ(Reads(), (Reads_t{{1000, 26}, {1019, 26}, {1038, 26}, {1057, 26}}));
  EXPECT_EQ(delivery.lengths, (std::vector<std::uint32_t>{61152, 44688, 44688, 44688}));
  EXPECT_EQ(delivery.statuses, std::vector<ReadStatus>(4, ReadStatus::kChunk));
  EXPECT_EQ(FirstWrongSample(delivery.pcm, 1000 * 588), "");
}

// Catches a stream that drops or repeats samples when the drive starts
// its reads early or late: the stream stays continuous from where the
// first read really began.
TEST_F(SectorReaderTest, CorrectionAbsorbsDisplacedStarts) {
  correction_ = 1;
  const std::int32_t kShifts[] = {37, -1176, 1176, -5, 0, 600, -600, 1, 2};
  drive_script_.displacement = [&](int n) { return kShifts[n % std::size(kShifts)]; };
  Delivery delivery = ReadTrack(1);
  EXPECT_EQ(delivery.pcm.size(), static_cast<std::size_t>(TrackSizeBytes(drive_.toc, 2)));
  EXPECT_EQ(FirstWrongSample(delivery.pcm, 1000 * 588 + 37), "");
  EXPECT_EQ(std::count(delivery.statuses.begin(), delivery.statuses.end(),
                       ReadStatus::kChunkAfterJitterMiss),
            0);
}

// Catches a failed command whose stale bytes enter the stream instead of
// silence, and a lost overlap that is not reported as jitter.
TEST_F(SectorReaderTest, AFailedReadIsSilenceAndTheNextOverlapMisses) {
  drive_script_.failing_commands = {1};
  Delivery off = ReadTrack(1);
  ASSERT_EQ(off.pcm.size(), 83u * 2352);
  EXPECT_EQ(FirstWrongSample(std::span(off.pcm).first(26 * 2352), 1000 * 588), "");
  EXPECT_EQ(std::vector<BYTE>(off.pcm.begin() + 26 * 2352, off.pcm.begin() + 52 * 2352),
            std::vector<BYTE>(26 * 2352, 0));
  EXPECT_EQ(FirstWrongSample(std::span(off.pcm).subspan(52 * 2352), 1052 * 588), "");

  drive_script_.reads.clear();
  correction_ = 1;
  Delivery on = ReadTrack(1);
  ASSERT_GE(on.statuses.size(), 3u);
  EXPECT_EQ(on.statuses[0], ReadStatus::kChunk);
  EXPECT_EQ(on.statuses[1], ReadStatus::kChunkAfterJitterMiss);
  EXPECT_EQ(on.statuses[2], ReadStatus::kChunkAfterJitterMiss);
}

// Catches a correction flag read once per job instead of per chunk:
// switched on after the first chunk, the next one starts right after it
// (so its overlap misses) and the one after overlaps again.
TEST_F(SectorReaderTest, TheCorrectionFlagIsReadBeforeEveryChunk) {
  Delivery delivery = ReadTrack(1, [&](int chunk) { correction_ = chunk >= 1 ? 1 : 0; });
  ASSERT_GE(drive_script_.reads.size(), 3u);
  EXPECT_EQ(drive_script_.reads[1].lba, 1026);
  EXPECT_EQ(drive_script_.reads[2].lba, 1045);
  EXPECT_EQ(delivery.statuses[1], ReadStatus::kChunkAfterJitterMiss);
  EXPECT_EQ(delivery.statuses[2], ReadStatus::kChunk);
}

// Catches progress that falls back, skips the first 0, or never reaches
// 100 at the end.
TEST_F(SectorReaderTest, ProgressRisesFromZeroToHundred) {
  correction_ = 1;
  Delivery delivery = ReadTrack(0);
  ASSERT_GE(delivery.progress.size(), 2u);
  EXPECT_EQ(delivery.progress.front(), 0);
  EXPECT_EQ(delivery.progress.back(), 100);
  EXPECT_TRUE(std::is_sorted(delivery.progress.begin(), delivery.progress.end()));
}

// Catches a reader that writes through missing results or buffers.
TEST_F(SectorReaderTest, MissingPlacesAreInternalErrors) {
  std::vector<BYTE> output(kChunkBytes);
  std::uint32_t length = 0;
  EXPECT_EQ(reader_.ReadNext(output, &length), ReadStatus::kFailed);
  EXPECT_EQ(reader_.error(), Message::kReaderNoBuffer);  // not prepared
  reader_.Prepare(drive_, 1);
  EXPECT_EQ(reader_.ReadNext(output, nullptr), ReadStatus::kFailed);
  EXPECT_EQ(reader_.error(), Message::kReaderNoResultPlace);
  EXPECT_EQ(reader_.ReadNext({}, &length), ReadStatus::kFailed);
  EXPECT_EQ(reader_.error(), Message::kReaderNoBuffer);
  EXPECT_EQ(reader_.ReadNext(std::span(output).first(kChunkBytes - 1), &length),
            ReadStatus::kFailed);
  EXPECT_TRUE(drive_script_.reads.empty());
}

class LastTrackTest : public SectorReaderTest {
 protected:
  LastTrackTest() : SectorReaderTest(AudioToc({100, 83})) {}
};

// Catches a final READ CD that reaches into the lead-out: the drive
// refuses it and the track's last sectors would arrive as silence.
TEST_F(LastTrackTest, NoReadReachesTheLeadOut) {
  for (std::int32_t correction : {0, 1}) {
    SCOPED_TRACE(correction);
    correction_ = correction;
    drive_script_.reads.clear();
    Delivery delivery = ReadTrack(1);
    for (const auto& read : drive_script_.reads)
      EXPECT_LE(read.lba + read.count, 183) << "read at " << read.lba;
    EXPECT_EQ(delivery.pcm.size(), 83u * 2352);
    EXPECT_EQ(FirstWrongSample(delivery.pcm, 100 * 588), "");
  }
}

}  // namespace
}  // namespace vyn
