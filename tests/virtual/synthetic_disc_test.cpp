#include "virtual/synthetic_disc.h"

#include <gtest/gtest.h>

#include "tests/virtual/temp_folder.h"
#include "virtual/cue_loader.h"
#include "virtual/synthetic_image_writer.h"

namespace vyn::virtual_drive {
namespace {

// Catches a grammar that misplaces sessions, drops flags or numbers tracks
// wrongly.
TEST(SyntheticDiscTest, LaysOutTracksAndSessionsFromTheDescription) {
  auto layout = ParseSyntheticDescription("synthetic:a4500,a750p,d3000c|d2000");
  ASSERT_TRUE(layout.ok()) << layout.error().message;
  static const struct {
    int number;
    BYTE adr_control;
    int session;
    std::int32_t start;
    std::int32_t length;
  } kExpected[] = {{1, 0x10, 1, 0, 4500},
                   {2, 0x11, 1, 4500, 750},
                   {3, 0x16, 1, 5250, 3000},
                   {4, 0x14, 2, 8250 + 11400, 2000}};
  ASSERT_EQ(layout->tracks.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const DiscTrack& track = layout->tracks[i];
    EXPECT_EQ(track.number, kExpected[i].number);
    EXPECT_EQ(track.adr_control, kExpected[i].adr_control);
    EXPECT_EQ(track.session, kExpected[i].session);
    EXPECT_EQ(track.start_lba, kExpected[i].start);
    EXPECT_EQ(track.length_frames, kExpected[i].length);
  }
  EXPECT_EQ(layout->lead_out_lba, 8250 + 11400 + 2000);
}

// Catches descriptions that should fail but build a disc (or crash).
TEST(SyntheticDiscTest, RejectsBadDescriptions) {
  std::string hundred = "synthetic:a1";
  for (int i = 1; i < 100; ++i)
    hundred += ",a1";
  static const std::string kCases[] = {"a4500",
                                       "synthetic:",
                                       "synthetic:x100",
                                       "synthetic:a",
                                       "synthetic:a0",
                                       "synthetic:a10,",
                                       "synthetic:a10|",
                                       "synthetic:a10;a5",
                                       "synthetic:d10p",
                                       "synthetic:a450001",
                                       "synthetic:a99999999999999999999",
                                       "synthetic:a300000,a300000",
                                       hundred};
  for (const auto& description : kCases) {
    SCOPED_TRACE(description);
    EXPECT_FALSE(BuildSyntheticDisc(description).ok());
  }
}

// Catches an encoding that repeats, or a decoder that cannot point at the
// first wrong sample.
TEST(SyntheticDiscTest, EncodesAbsolutePositionsThatTheDecoderReadsBack) {
  for (std::uint32_t n : {0u, 1u, 0xFFFFu, 0x10000u, 264'599'999u}) {
    BYTE frame[4];
    EncodeSyntheticFrame(n, frame);
    EXPECT_EQ(DecodeSyntheticFrame(frame), n);
  }
  const BYTE silence[4] = {0, 0, 0, 0};
  EXPECT_FALSE(DecodeSyntheticFrame(silence).has_value());

  auto disc = BuildSyntheticDisc("synthetic:a20,d5|a10");
  ASSERT_TRUE(disc.ok());
  std::vector<BYTE> pcm(10 * 2352);
  ASSERT_TRUE(disc->Read(3 * 2352, pcm.size(), pcm.data()));
  EXPECT_EQ(FirstWrongSyntheticFrame(pcm, 3 * 588), -1);
  pcm[4 * 1000 + 2] ^= 1;
  EXPECT_EQ(FirstWrongSyntheticFrame(pcm, 3 * 588), 1000);
  EXPECT_EQ(FirstWrongSyntheticFrame(pcm, 3 * 588 + 1), 0);

  // The data track holds its pattern; the second session's audio keeps
  // counting from LBA 0.
  std::vector<BYTE> sector(2352), expected(2352);
  ASSERT_TRUE(disc->Read(22 * 2352, sector.size(), sector.data()));
  FillSyntheticDataSector(22, expected.data());
  EXPECT_EQ(sector, expected);
  EXPECT_EQ(std::string(sector.begin() + 16, sector.begin() + 20), "DATA");
  const std::int32_t second = 25 + 11400;
  ASSERT_TRUE(disc->Read(std::int64_t{second} * 2352, sector.size(), sector.data()));
  EXPECT_EQ(FirstWrongSyntheticFrame(sector, second * 588), -1);
  EXPECT_FALSE(disc->IsReadable(25, 1));
}

// Catches an image written out that loads as a different disc.
TEST(SyntheticDiscTest, WritesAnImageThatLoadsAsTheSameDisc) {
  TempFolder folder;
  const std::string description = "synthetic:a400,a300pc,d200|d150c";
  auto cue = WriteSyntheticImage(description, folder.path(), "sample");
  ASSERT_TRUE(cue.ok()) << cue.error().message;
  auto loaded = LoadCueDisc(*cue);
  ASSERT_TRUE(loaded.ok()) << loaded.error().message;
  auto built = BuildSyntheticDisc(description);
  ASSERT_TRUE(built.ok());
  ASSERT_EQ(loaded->tracks().size(), built->tracks().size());
  for (std::size_t i = 0; i < built->tracks().size(); ++i) {
    SCOPED_TRACE(i);
    const DiscTrack& a = loaded->tracks()[i];
    const DiscTrack& b = built->tracks()[i];
    EXPECT_EQ(a.number, b.number);
    EXPECT_EQ(a.adr_control, b.adr_control);
    EXPECT_EQ(a.session, b.session);
    EXPECT_EQ(a.start_lba, b.start_lba);
    EXPECT_EQ(a.length_frames, b.length_frames);
    std::vector<BYTE> from_image(a.length_frames * 2352), from_description(from_image.size());
    ASSERT_TRUE(
        loaded->Read(std::int64_t{a.start_lba} * 2352, from_image.size(), from_image.data()));
    ASSERT_TRUE(built->Read(std::int64_t{b.start_lba} * 2352, from_description.size(),
                            from_description.data()));
    EXPECT_TRUE(from_image == from_description);
  }
  EXPECT_EQ(loaded->lead_out_lba(), built->lead_out_lba());
}

}  // namespace
}  // namespace vyn::virtual_drive
