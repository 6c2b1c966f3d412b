#include "virtual/cue_loader.h"

#include <gtest/gtest.h>

#include "tests/virtual/temp_folder.h"

namespace vyn::virtual_drive {
namespace {

constexpr std::size_t kSector = 2352;

Disc MustLoad(const std::string& cue) {
  auto disc = LoadCueDisc(cue);
  if (!disc)
    ADD_FAILURE() << disc.error().message;
  return std::move(disc).value();
}

std::vector<BYTE> ReadFrames(const Disc& disc, std::int32_t lba, std::int32_t count) {
  std::vector<BYTE> bytes(count * kSector);
  EXPECT_TRUE(disc.Read(std::int64_t{lba} * 2352, bytes.size(), bytes.data())) << "LBA " << lba;
  return bytes;
}

std::vector<BYTE> Slice(const std::vector<BYTE>& bytes,
                        std::size_t first_frame,
                        std::size_t frames) {
  return {bytes.begin() + first_frame * kSector, bytes.begin() + (first_frame + frames) * kSector};
}

// Catches tracks placed at INDEX 00 instead of INDEX 01, a wrong lead-out,
// or sectors served from the wrong offset of a single BIN.
TEST(CueLoaderTest, LaysOutASingleFileImage) {
  TempFolder folder;
  const auto bin = PatternSectors(1000, 1);
  folder.Write("disc.bin", bin);
  const auto cue =
      folder.Write("disc.cue",
                   "FILE \"disc.bin\" BINARY\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n"
                   " TRACK 02 AUDIO\n  FLAGS PRE\n  INDEX 00 00:04:00\n  INDEX 01 00:05:00\n"
                   " TRACK 03 MODE1/2352\n  FLAGS DCP\n  INDEX 01 00:10:00\n");
  const Disc disc = MustLoad(cue);
  ASSERT_EQ(disc.tracks().size(), 3u);
  EXPECT_EQ(disc.tracks()[0].start_lba, 0);
  EXPECT_EQ(disc.tracks()[0].length_frames, 375);
  EXPECT_EQ(disc.tracks()[1].start_lba, 375);
  EXPECT_EQ(disc.tracks()[1].adr_control, 0x11);
  EXPECT_EQ(disc.tracks()[2].start_lba, 750);
  EXPECT_EQ(disc.tracks()[2].adr_control, 0x16);
  EXPECT_EQ(disc.tracks()[2].length_frames, 250);
  EXPECT_EQ(disc.lead_out_lba(), 1000);
  EXPECT_EQ(ReadFrames(disc, 0, 1000), bin);
}

// Catches a PREGAP that is not inserted as silence, or files not laid end
// to end.
TEST(CueLoaderTest, LaysOutAMultiFileImageWithAPregapNotInTheFile) {
  TempFolder folder;
  const auto first = PatternSectors(300, 2);
  const auto second = PatternSectors(200, 3);
  folder.Write("01 first.bin", first);
  folder.Write("02.bin", second);
  const auto cue =
      folder.Write("disc.cue",
                   "FILE \"01 first.bin\" BINARY\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n"
                   "FILE 02.bin BINARY\n TRACK 02 AUDIO\n  PREGAP 00:02:00\n"
                   "  INDEX 00 00:00:00\n  INDEX 01 00:00:10\n");
  const Disc disc = MustLoad(cue);
  ASSERT_EQ(disc.tracks().size(), 2u);
  EXPECT_EQ(disc.tracks()[1].start_lba, 300 + 150 + 10);
  EXPECT_EQ(disc.tracks()[0].length_frames, 460);
  EXPECT_EQ(disc.lead_out_lba(), 650);
  EXPECT_EQ(ReadFrames(disc, 0, 300), first);
  EXPECT_EQ(ReadFrames(disc, 300, 150), std::vector<BYTE>(150 * kSector, 0));
  EXPECT_EQ(ReadFrames(disc, 450, 200), second);
}

// Catches a second session placed without the 11400-frame gap, or a gap
// that reads as data.
TEST(CueLoaderTest, StartsASecondSessionAfterTheGapAndLeavesTheGapUnreadable) {
  TempFolder folder;
  const auto audio = PatternSectors(600, 4);
  const auto data = PatternSectors(300, 5);
  folder.Write("audio.bin", audio);
  folder.Write("data.bin", data);
  const auto cue =
      folder.Write("disc.cue",
                   "REM SESSION 01\nFILE audio.bin BINARY\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n"
                   " TRACK 02 AUDIO\n  INDEX 01 00:04:00\nREM SESSION 02\n"
                   "FILE data.bin BINARY\n TRACK 03 MODE1/2352\n  INDEX 00 00:00:00\n"
                   "  INDEX 01 00:02:00\n");
  const Disc disc = MustLoad(cue);
  ASSERT_EQ(disc.tracks().size(), 3u);
  const DiscTrack& data_track = disc.tracks()[2];
  EXPECT_EQ(data_track.session, 2);
  EXPECT_EQ(data_track.start_lba, 600 + 11400);
  EXPECT_EQ(disc.tracks()[1].length_frames, 300);  // ends at the session's lead-out
  EXPECT_EQ(data_track.length_frames, 150);
  EXPECT_EQ(disc.lead_out_lba(), 12150);
  EXPECT_TRUE(disc.IsReadable(data_track.start_lba - 11401, 1));
  EXPECT_FALSE(disc.IsReadable(data_track.start_lba - 11400, 1));
  EXPECT_FALSE(disc.IsReadable(data_track.start_lba - 1, 1));
  EXPECT_FALSE(disc.IsReadable(599, 2));
  EXPECT_EQ(ReadFrames(disc, data_track.start_lba, 150), Slice(data, 150, 150));
}

// Catches a bad image that crashes, loads half a disc, or fails without
// naming the problem.
TEST(CueLoaderTest, RejectsBadImagesWithAClearError) {
  TempFolder folder;
  folder.Write("ok.bin", PatternSectors(100, 6));
  auto truncated = PatternSectors(100, 7);
  truncated.resize(truncated.size() - 100);
  folder.Write("truncated.bin", truncated);
  folder.Write("empty.bin", std::string());
  const std::string track = "\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n";
  static const struct {
    std::string cue;
    const char* error;
  } kCases[] = {
      {"FILE missing.bin BINARY" + track, "cannot open"},
      {"FILE truncated.bin BINARY" + track, "truncated"},
      {"FILE empty.bin BINARY" + track, "empty"},
      {"FILE ok.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:02:00\n", "holds only 00:01:25"},
      {"FILE ok.bin BINARY" + track + "TRACK 02 AUDIO\nINDEX 01 00:00:00\n",
       "track 1 has no frames"},
      {"FILE ok.bin BINARY" + track + "TRACK 03 AUDIO\nINDEX 01 00:00:10\n", "not consecutive"},
      {"FILE ok.bin BINARY\nTRACK 01 MODE2/2336\nINDEX 01 00:00:00\n", "not supported"},
      {"FILE ok.bin BINARY\n", "no tracks"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.cue);
    const auto disc = LoadCueDisc(folder.Write("bad.cue", c.cue));
    ASSERT_FALSE(disc.ok());
    EXPECT_NE(disc.error().message.find(c.error), std::string::npos) << disc.error().message;
    EXPECT_NE(disc.error().message.find("bad.cue"), std::string::npos) << disc.error().message;
  }
  EXPECT_FALSE(LoadCueDisc(folder.path() + "/no such.cue").ok());
}

}  // namespace
}  // namespace vyn::virtual_drive
