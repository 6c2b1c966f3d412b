// End to end: tracks of a synthetic disc ripped from the virtual drive
// into WAV files through the sector reader and the WAV sink, and the WAV
// data compared with the audio the disc holds, naming the first wrong
// sample.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "extract/sector_reader.h"
#include "extract/track_range.h"
#include "tests/drive/test_support.h"
#include "tests/extract/rip_track.h"
#include "tests/extract/synthetic_pcm.h"
#include "tests/extract/virtual_disc.h"
#include "tests/extract/wav_file.h"

namespace vyn {
namespace {

using testing::FileBytes;
using testing::FinishWithin;
using testing::FirstWrongSample;
using testing::RipTrack;
using testing::VirtualDisc;
using testing::WavData;

constexpr auto kDeadline = std::chrono::seconds(120);
// Reads start up to 2 sectors early or late, in whole stereo frames.
constexpr unsigned kJitterFrames = 2 * 588;

// Audio up to the lead-out; audio before a data session (its last track
// ends at a session gap); tracks shorter than a chunk and than the overlap;
// a lone audio track before a data session, whose extent reaches the data
// track (the gap in it is silence).
const char* const kDiscs[] = {
    "synthetic:a1200,a377,a33,a910",
    "synthetic:a700,a451,a20|d300",
    "synthetic:a1500|d300",
};

// Passes READ CD to the drive; each job's first read lands exactly, every
// later one is displaced at random, so the whole track can be compared.
class ExactFirstRead final : public ReadCdChannel {
 public:
  BYTE Execute(const DriveRecord& drive,
               std::span<const BYTE> cdb,
               BYTE* buffer,
               DWORD length) override {
    VynVirtualSetJitter(0, first_of_job ? 0 : kJitterFrames, 7919 + reads_++);
    first_of_job = false;
    return TransportReadCdChannel().Execute(drive, cdb, buffer, length);
  }
  bool first_of_job = true;

 private:
  unsigned reads_ = 0;
};

class RipAccuracyTest : public ::testing::TestWithParam<const char*> {
 protected:
  struct Track {
    int index;
    std::uint32_t first_frame;      // the track's first stereo frame on the disc
    std::size_t size;               // its Size in bytes
    std::uint32_t audio_end_frame;  // one past the session's last audio frame
    std::vector<BYTE> wav_data;
    int jitter_misses;
  };

  // Rips every track with the given reader; each WAV file is checked to
  // be well-formed and the rip to have succeeded.
  std::vector<Track> RipAll(VirtualDisc& disc,
                            SectorReader& reader,
                            const std::function<void()>& before_track = {}) {
    std::vector<Track> tracks;
    const DiscToc& toc = disc.drive().toc;
    for (int index = 0; index < toc.TrackCount(); ++index) {
      if (!IsAudioEntry(toc, index))
        continue;
      SCOPED_TRACE("track " + std::to_string(index + 1));
      if (before_track)
        before_track();
      const auto path = folder_.path() / ("track" + std::to_string(index + 1) + ".wav");
      testing::RipOutcome outcome = RipTrack(reader, disc.drive(), index, path);
      EXPECT_EQ(outcome.error, "");
      tracks.push_back({index, static_cast<std::uint32_t>(TrackStartLba(toc, index + 1)) * 588,
                        static_cast<std::size_t>(TrackSizeBytes(toc, index + 1)),
                        static_cast<std::uint32_t>(RangeOfTrack(toc, index).read_limit_lba) * 588,
                        WavData(FileBytes(path)), outcome.jitter_misses});
    }
    return tracks;
  }

  // The bytes of a track's stream that lie on the disc when the stream
  // begins at disc frame `first`; past the session's audio it is silence.
  static std::size_t OnDiscBytes(const Track& track, std::uint32_t first) {
    if (track.audio_end_frame <= first)
      return 0;
    return std::min<std::size_t>(track.wav_data.size(),
                                 std::size_t{track.audio_end_frame - first} * 4);
  }

  static void ExpectDiscAudioThenSilence(const Track& track, std::uint32_t first) {
    const std::size_t on_disc = OnDiscBytes(track, first);
    EXPECT_EQ(FirstWrongSample(std::span(track.wav_data).first(on_disc), first), "");
    EXPECT_TRUE(std::all_of(track.wav_data.begin() + on_disc, track.wav_data.end(), [](BYTE b) {
      return b == 0;
    })) << "past the session's audio";
  }

  testing::TempFolder folder_;
  std::atomic<std::int32_t> correction_{0};
};

// Catches any lost, repeated or altered byte on a drive that reads
// exactly, with or without correction, and the last sectors of a disc's
// or a session's last track lost to a READ CD refused at the lead-out.
TEST_P(RipAccuracyTest, WithoutJitterEveryTrackIsTheImagesSectors) {
  FinishWithin(kDeadline, [&] {
    VirtualDisc disc(GetParam());
    ASSERT_TRUE(disc.ok());
    for (std::int32_t correction : {0, 1}) {
      SCOPED_TRACE(correction ? "correction on" : "correction off");
      correction_ = correction;
      SectorReader reader(correction_);
      for (const Track& track : RipAll(disc, reader)) {
        SCOPED_TRACE("track " + std::to_string(track.index + 1));
        EXPECT_EQ(track.wav_data.size(), track.size);
        ExpectDiscAudioThenSilence(track, track.first_frame);
        EXPECT_EQ(track.jitter_misses, 0);
      }
    }
  });
}

// Catches an overlap search that loses or repeats samples: with reads
// displaced at random by up to 2 sectors, each track is one continuous
// stream from where its first read really began, Size bytes long.
TEST_P(RipAccuracyTest, CorrectionMakesAJitteringDriveSeamless) {
  FinishWithin(kDeadline, [&] {
    VirtualDisc disc(GetParam());
    ASSERT_TRUE(disc.ok());
    correction_ = 1;
    SectorReader reader(correction_);
    VynVirtualSetJitter(0, kJitterFrames, 12345);
    for (const Track& track : RipAll(disc, reader)) {
      SCOPED_TRACE("track " + std::to_string(track.index + 1));
      ASSERT_EQ(track.wav_data.size(), track.size);
      auto first = virtual_drive::DecodeSyntheticFrame(track.wav_data.data());
      ASSERT_TRUE(first.has_value()) << "the stream does not start with disc audio";
      EXPECT_LE(std::abs(static_cast<std::int64_t>(*first) - track.first_frame), kJitterFrames);
      // A first read that began late asks for samples past the end of the
      // session's audio, which no drive has: those are silence.
      ExpectDiscAudioThenSilence(track, *first);
      EXPECT_EQ(track.jitter_misses, 0);
    }
  });
}

// Catches the same faults where they matter most: when a track's first
// read lands exactly, its WAV data is bit-identical to the track although
// every later read is displaced.
TEST_P(RipAccuracyTest, WithAnExactFirstReadTheTrackIsBitIdentical) {
  FinishWithin(kDeadline, [&] {
    VirtualDisc disc(GetParam());
    ASSERT_TRUE(disc.ok());
    correction_ = 1;
    ExactFirstRead drive;
    SectorReader reader(correction_, drive);
    for (const Track& track : RipAll(disc, reader, [&] { drive.first_of_job = true; })) {
      SCOPED_TRACE("track " + std::to_string(track.index + 1));
      EXPECT_EQ(track.wav_data.size(), track.size);
      ExpectDiscAudioThenSilence(track, track.first_frame);
    }
  });
}

// Shows why correction exists: the same jittering drive without it gives
// streams with samples dropped or repeated at chunk seams.
TEST_P(RipAccuracyTest, WithoutCorrectionJitterCorruptsTheStream) {
  FinishWithin(kDeadline, [&] {
    VirtualDisc disc(GetParam());
    ASSERT_TRUE(disc.ok());
    SectorReader reader(correction_);
    VynVirtualSetJitter(0, kJitterFrames, 12345);
    int corrupt = 0;
    for (const Track& track : RipAll(disc, reader)) {
      EXPECT_EQ(track.wav_data.size(), track.size);
      const std::uint32_t first =
          virtual_drive::DecodeSyntheticFrame(track.wav_data.data()).value_or(track.first_frame);
      const std::string wrong =
          FirstWrongSample(std::span(track.wav_data).first(OnDiscBytes(track, first)), first);
      if (!wrong.empty()) {
        ++corrupt;
        std::printf("track %d without correction: %s\n", track.index + 1, wrong.c_str());
      }
    }
    EXPECT_GT(corrupt, 0);
  });
}

INSTANTIATE_TEST_SUITE_P(Discs, RipAccuracyTest, ::testing::ValuesIn(kDiscs));

}  // namespace
}  // namespace vyn
