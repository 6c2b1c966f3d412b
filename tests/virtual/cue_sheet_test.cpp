#include "virtual/cue_sheet.h"

#include <gtest/gtest.h>

#include <string>

namespace vyn::virtual_drive {
namespace {

CueSheet MustParse(const std::string& text) {
  auto sheet = ParseCueSheet(text);
  EXPECT_TRUE(sheet.ok()) << (sheet.ok() ? "" : sheet.error().message);
  return sheet.ok() ? *sheet : CueSheet{};
}

// Catches a mis-read of times: seconds and frames have their own bases.
TEST(CueTimeTest, ParsesMinutesSecondsFramesAndRejectsOutOfRangeFields) {
  static const struct {
    const char* text;
    std::int32_t frames;  // -1: rejected
  } kCases[] = {
      {"00:00:00", 0},      {"00:00:74", 74},    {"00:01:00", 75}, {"01:00:00", 4500},
      {"79:59:74", 359999}, {"00:60:00", -1},    {"00:00:75", -1}, {"00:00", -1},
      {"aa:00:00", -1},     {"00:00:00:00", -1}, {"", -1},         {"-1:00:00", -1},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    const auto frames = ParseCueTime(c.text);
    if (c.frames < 0) {
      EXPECT_FALSE(frames.has_value());
    } else {
      ASSERT_TRUE(frames.has_value());
      EXPECT_EQ(*frames, c.frames);
    }
  }
}

// Catches a single-file sheet whose INDEX 00 pregaps, CRLF endings, BOM or
// disc-level texts are lost or attached to the wrong track.
TEST(CueSheetTest, ParsesTheSingleFileDialect) {
  const CueSheet sheet = MustParse(
      "\xEF\xBB\xBFREM GENRE Pop\r\nCATALOG 1234567890123\r\nPERFORMER \"The Band\"\r\n"
      "TITLE \"First Album\"\r\nFILE \"disc image.bin\" BINARY\r\n"
      "  TRACK 01 AUDIO\r\n    TITLE \"Song\"\r\n    PERFORMER x\r\n    ISRC ABCDE1234567\r\n"
      "    INDEX 01 00:00:00\r\n"
      "  TRACK 02 AUDIO\r\n    INDEX 00 04:00:00\r\n    INDEX 01 04:02:00\r\n    INDEX 02 "
      "04:30:00\r\n");
  EXPECT_EQ(sheet.catalog, "1234567890123");
  EXPECT_EQ(sheet.performer, "The Band");
  EXPECT_EQ(sheet.title, "First Album");
  ASSERT_EQ(sheet.files.size(), 1u);
  EXPECT_EQ(sheet.files[0].name, "disc image.bin");
  ASSERT_EQ(sheet.tracks.size(), 2u);
  EXPECT_FALSE(sheet.tracks[0].index00.has_value());
  EXPECT_EQ(sheet.tracks[0].index01, 0);
  EXPECT_EQ(sheet.tracks[1].number, 2);
  EXPECT_EQ(sheet.tracks[1].index00, 4 * 4500);
  EXPECT_EQ(sheet.tracks[1].index01, 4 * 4500 + 150);
  EXPECT_EQ(sheet.tracks[1].file_index, 0);
}

// Catches tracks tied to the wrong file, a lost PREGAP, or unquoted names
// with spaces cut at the first word.
TEST(CueSheetTest, ParsesTheMultiFileDialectWithPregapsAndUnquotedNames) {
  const CueSheet sheet = MustParse(
      "FILE one.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"
      "FILE two words.bin binary\nTRACK 02 audio\nPREGAP 00:02:00\nINDEX 01 00:00:00\n"
      "FILE \"three.bin\" BINARY\nTRACK 03 MODE1/2352\nINDEX 00 00:00:00\nINDEX 01 00:02:00\n");
  ASSERT_EQ(sheet.files.size(), 3u);
  EXPECT_EQ(sheet.files[1].name, "two words.bin");
  ASSERT_EQ(sheet.tracks.size(), 3u);
  EXPECT_EQ(sheet.tracks[1].file_index, 1);
  EXPECT_EQ(sheet.tracks[1].pregap_frames, 150);
  EXPECT_EQ(sheet.tracks[2].file_index, 2);
  EXPECT_EQ(sheet.tracks[2].mode, CueTrackMode::kMode1Raw);
  EXPECT_EQ(sheet.tracks[2].index00, 0);
  EXPECT_EQ(sheet.tracks[2].index01, 150);
}

// Catches a flag mapped to the wrong CONTROL bit or SCMS leaking into it.
TEST(CueSheetTest, MapsFlagsToControlBits) {
  static const struct {
    const char* flags;
    BYTE control;
  } kCases[] = {{"PRE", 0x01},  {"DCP", 0x02},     {"4CH", 0x08},
                {"SCMS", 0x00}, {"pre dcp", 0x03}, {"DCP 4CH SCMS PRE", 0x0B},
                {"", 0x00}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.flags);
    const CueSheet sheet = MustParse(std::string("FILE a.bin BINARY\nTRACK 01 AUDIO\nFLAGS ") +
                                     c.flags + "\nINDEX 01 00:00:00\n");
    ASSERT_EQ(sheet.tracks.size(), 1u);
    EXPECT_EQ(sheet.tracks[0].flags, c.control);
  }
}

// Catches REM SESSION ignored, or a session applied to tracks before it.
TEST(CueSheetTest, AssignsSessionsFromRemSession) {
  const CueSheet sheet = MustParse(
      "REM SESSION 01\nFILE a.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"
      "TRACK 02 AUDIO\nINDEX 01 01:00:00\nREM SESSION 02\nFILE b.bin BINARY\n"
      "TRACK 03 MODE1/2352\nINDEX 01 00:00:00\n");
  ASSERT_EQ(sheet.tracks.size(), 3u);
  EXPECT_EQ(sheet.tracks[0].session, 1);
  EXPECT_EQ(sheet.tracks[1].session, 1);
  EXPECT_EQ(sheet.tracks[2].session, 2);
}

// Catches malformed sheets accepted (later crashing the loader) or
// rejected without saying where.
TEST(CueSheetTest, RejectsMalformedSheetsWithTheLine) {
  std::string hundred = "FILE a.bin BINARY\n";
  for (int i = 1; i <= 99; ++i)
    hundred += "TRACK " + std::to_string(i) + " AUDIO\nINDEX 01 00:00:00\n";
  hundred += "TRACK 99 AUDIO\nINDEX 01 00:00:00\n";
  const std::string one_track = "FILE a.bin BINARY\nTRACK 01 AUDIO\n";
  static const struct {
    std::string text;
    const char* error;
  } kCases[] = {
      {"", "no tracks"},
      {"REM only a comment\nFILE a.bin BINARY\n", "no tracks"},
      {"TRACK 01 AUDIO\nINDEX 01 00:00:00\n", "line 1: TRACK before any FILE"},
      {"FILE a.bin BINARY\nINDEX 01 00:00:00\n", "line 2: INDEX before any TRACK"},
      {one_track, "line 2: track 1 has no INDEX 01"},
      {one_track + "INDEX 00 00:00:00\nTRACK 02 AUDIO\nINDEX 01 00:01:00\n",
       "track 1 has no INDEX 01"},
      {one_track + "INDEX 01 00:00:00\nTRACK 100 AUDIO\nINDEX 01 00:01:00\n",
       "line 4: bad track number"},
      {one_track + "INDEX 01 00:00:00\nTRACK 00 AUDIO\n", "bad track number"},
      {hundred, "more than 99 tracks"},
      {one_track + "INDEX 01 00:00:00\nTRACK 01 AUDIO\nINDEX 01 00:01:00\n", "must go upwards"},
      {"FILE a.bin BINARY\nTRACK 01 MODE1/2048\n",
       "line 2: track mode 'MODE1/2048' is not supported"},
      {"FILE a.bin BINARY\nTRACK 01 MODE2/2336\n", "not supported"},
      {"FILE a.bin BINARY\nTRACK 01 CDG\n", "not supported"},
      {"FILE a.wav WAVE\nTRACK 01 AUDIO\n", "line 1: file type 'WAVE' is not supported"},
      {"FILE \"a.bin BINARY\n", "line 1: unterminated quote"},
      {one_track + "INDEX 01 00:60:00\n", "line 3: bad time"},
      {one_track + "INDEX 01 00:00:10\nINDEX 02 00:00:05\n", "must not go backwards"},
      {one_track + "INDEX 01 00:00:10\nINDEX 00 00:00:05\n", "index numbers must go upwards"},
      {one_track + "INDEX 01 00:00:00\nPREGAP 00:02:00\n", "PREGAP must come once"},
      {one_track + "FLAGS PRE XYZ\n", "unknown flag 'XYZ'"},
      {one_track + "POSTGAP 00:02:00\n", "POSTGAP is not supported"},
      {one_track + "BOGUS 1\n", "line 3: unknown command 'BOGUS'"},
      {"REM SESSION 02\nREM SESSION 01\n", "sessions must be numbered upwards"},
      {"FILE a.bin BINARY\nTRACK 01 AUDIO\nFILE b.bin BINARY\nINDEX 01 00:00:00\n",
       "INDEX in another FILE"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    const auto sheet = ParseCueSheet(c.text);
    ASSERT_FALSE(sheet.ok());
    EXPECT_NE(sheet.error().message.find(c.error), std::string::npos) << sheet.error().message;
  }
}

}  // namespace
}  // namespace vyn::virtual_drive
