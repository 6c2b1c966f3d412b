#include "drive/disc_toc.h"

#include <gtest/gtest.h>

#include <vector>

namespace vyn {
namespace {

struct Entry {
  std::uint8_t adr_control;
  std::uint8_t number;
  std::int32_t lba;
};

constexpr std::uint8_t kAudio = 0x10;
constexpr std::uint8_t kAudioPreEmphasis = 0x11;
constexpr std::uint8_t kData = 0x14;

// A READ TOC reply as a drive sends it: header, then 8-byte descriptors.
TocReply ReplyOf(const std::vector<Entry>& entries) {
  TocReply reply{};
  int length = 2 + 8 * static_cast<int>(entries.size());
  reply[0] = static_cast<std::uint8_t>(length >> 8);
  reply[1] = static_cast<std::uint8_t>(length);
  reply[2] = 1;
  reply[3] = static_cast<std::uint8_t>(entries.empty() ? 0 : entries.size() - 1);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    std::uint8_t* d = reply.data() + 4 + 8 * i;
    d[1] = entries[i].adr_control;
    d[2] = entries[i].number;
    auto lba = static_cast<std::uint32_t>(entries[i].lba);
    d[4] = static_cast<std::uint8_t>(lba >> 24);
    d[5] = static_cast<std::uint8_t>(lba >> 16);
    d[6] = static_cast<std::uint8_t>(lba >> 8);
    d[7] = static_cast<std::uint8_t>(lba);
  }
  return reply;
}

struct TrackExpectation {
  int number;
  std::int32_t start;
  std::int32_t end;
  bool audio;
};

// Catches every departure from the extent rule: the inclusive last frame,
// the session gap only where the data bit changes, and the lead-out.
TEST(DiscTocTest, TrackExtentsForTheLayoutsThatMatter) {
  std::vector<Entry> twelve;
  for (int n = 1; n <= 12; ++n)
    twelve.push_back({kAudio, std::uint8_t(n), (n - 1) * 15000});
  twelve.push_back({kAudio, kLeadOutTrack, 12 * 15000 + 33});

  std::vector<Entry> two_sessions;
  for (int n = 1; n <= 10; ++n)
    two_sessions.push_back({kAudio, std::uint8_t(n), (n - 1) * 10000});
  two_sessions.push_back({kData, 11, 100000 + kSessionGapFrames});
  two_sessions.push_back({kData, kLeadOutTrack, 150000});

  static const struct {
    const char* name;
    std::vector<Entry> entries;
    std::vector<TrackExpectation> tracks;
    std::uint32_t disc_seconds;
    bool has_audio;
  } kCases[] = {
      {"twelve tracks",
       twelve,
       {{1, 0, 14999, true}, {12, 165000, 180032, true}},
       180033 / 75,
       true},
      {"ten seconds exactly",
       {{kAudio, 1, 0}, {kAudio, 2, 750}, {kAudio, kLeadOutTrack, 900}},
       {{1, 0, 749, true}, {2, 750, 899, true}},
       12,
       true},
      {"data track in a second session",
       two_sessions,
       {{10, 90000, 100000 - 1, true}, {11, 100000 + kSessionGapFrames, 149999, false}},
       150000 / 75,
       true},
      {"data track first",
       {{kData, 1, 0}, {kAudio, 2, 5000}, {kAudio, 3, 8000}, {kAudio, kLeadOutTrack, 9000}},
       {{1, 0, 4999, false}, {2, 5000, 7999, true}, {3, 8000, 8999, true}},
       120,
       true},
      {"pre-emphasis neighbours",
       {{kAudio, 1, 0},
        {kAudioPreEmphasis, 2, 3000},
        {kAudio, 3, 6000},
        {kAudio, kLeadOutTrack, 9000}},
       {{1, 0, 2999, true}, {2, 3000, 5999, true}, {3, 6000, 8999, true}},
       120,
       true},
      {"data only",
       {{kData, 1, 0}, {kData, 2, 4000}, {kData, kLeadOutTrack, 7500}},
       {{1, 0, 3999, false}, {2, 4000, 7499, false}},
       100,
       false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    DiscToc toc = ParseTocReply(ReplyOf(c.entries));
    ASSERT_EQ(toc.entry_count, static_cast<int>(c.entries.size()));
    for (const auto& t : c.tracks) {
      SCOPED_TRACE(t.number);
      EXPECT_EQ(TrackStartLba(toc, t.number), t.start);
      EXPECT_EQ(TrackEndLba(toc, t.number), t.end);
      std::int32_t frames = t.end - t.start + 1;
      EXPECT_EQ(TrackFrames(toc, t.number), frames);
      EXPECT_EQ(TrackDurationSeconds(toc, t.number), static_cast<std::uint32_t>(frames / 75));
      EXPECT_EQ(TrackSizeBytes(toc, t.number), frames * 2352);
      EXPECT_EQ(IsAudioEntry(toc, t.number - 1), t.audio);
    }
    EXPECT_EQ(DiscDurationSeconds(toc), c.disc_seconds);
    EXPECT_EQ(HasAudioTrack(toc), c.has_audio);
  }
}

// Catches a parser that trusts the announced length past the table or the
// reply.
TEST(DiscTocTest, MalformedRepliesNeverOverrunTheTable) {
  static const struct {
    const char* name;
    int data_length;
    int entries;
  } kCases[] = {
      {"empty", 0, 0},
      {"too short for a descriptor", 1, 0},
      {"one descriptor", 10, 1},
      {"a hundred descriptors", 2 + 8 * 100, 100},
      {"a hundred and one", 2 + 8 * 101, 0},
      {"past the reply", 0xFFFF, 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    TocReply reply{};
    reply.fill(0x01);
    reply[0] = static_cast<std::uint8_t>(c.data_length >> 8);
    reply[1] = static_cast<std::uint8_t>(c.data_length);
    DiscToc toc = ParseTocReply(reply);
    EXPECT_EQ(toc.entry_count, c.entries);
    EXPECT_EQ(toc.adr_control[kMaxTocEntries], 0) << "the slot past the table stays zero";
  }
}

TEST(DiscTocTest, NoDiscAndMissingTracks) {
  DiscToc empty = ParseTocReply(TocReply{});
  EXPECT_EQ(empty.TrackCount(), 0);
  EXPECT_EQ(DiscDurationSeconds(empty), 0u);
  EXPECT_FALSE(HasAudioTrack(empty));
  DiscToc toc = ParseTocReply(ReplyOf({{kAudio, 1, 0}, {kAudio, kLeadOutTrack, 900}}));
  EXPECT_EQ(TrackStartLba(toc, 2), -1);
  EXPECT_EQ(TrackEndLba(toc, 0xAA), -1) << "nothing follows the lead-out";
  EXPECT_FALSE(IsAudioEntry(toc, 1)) << "the lead-out is not a track";
}

}  // namespace
}  // namespace vyn
