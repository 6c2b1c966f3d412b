#include "cddb/disc_id.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

namespace vyn {
namespace {

constexpr std::uint8_t kAudio = 0x10;
constexpr std::uint8_t kData = 0x14;

struct Entry {
  std::int32_t lba;
  std::uint8_t adr_control = kAudio;
};

// Tracks numbered from `first_number`, then the lead-out.
DiscToc MakeToc(std::initializer_list<Entry> tracks, std::int32_t lead_out, int first_number = 1) {
  DiscToc toc;
  int i = 0;
  for (const Entry& track : tracks) {
    toc.start_lba[i] = track.lba;
    toc.adr_control[i] = track.adr_control;
    toc.track_number[i] = static_cast<std::uint8_t>(first_number + i);
    ++i;
  }
  toc.start_lba[i] = lead_out;
  toc.adr_control[i] = kAudio;
  toc.track_number[i] = kLeadOutTrack;
  toc.entry_count = i + 1;
  return toc;
}

std::string Hex(std::uint32_t id) {
  char text[9];
  std::snprintf(text, sizeof text, "%08x", id);
  return text;
}

// Catches an identifier that differs from the one CDDB servers and other
// clients compute for the same pressing (published layouts with their
// published identifiers: an enhanced CD whose data track is in the second
// session, a mixed-mode CD whose first track is data, an audio CD, the
// one-track example of the algorithm's description).
TEST(CddbDiscIdTest, MatchesPublishedIdentifiersOfRealDiscs) {
  static const struct {
    const char* name;
    DiscToc toc;
    const char* id;
    const char* query_end;  // the last figures of the query command
  } kCases[] = {
      {"enhanced CD, 10 audio + data session",
       MakeToc({{0},
                {12617},
                {40337},
                {63075},
                {93260},
                {117965},
                {151715},
                {184190},
                {215110},
                {247305},
                {281585, kData}},
               333651),
       "9e11600b", " 247455 281735 4450"},
      {"mixed-mode CD, data track first",
       MakeToc({{0, kData}, {66578},  {76352},  {85813},  {93610},  {103898}, {115916}, {124593},
                {134056},   {142766}, {151702}, {160570}, {169275}, {178581}, {188309}, {196561},
                {206204},   {214695}, {223536}, {225596}, {226234}, {232518}, {239297}, {239781},
                {244839},   {254114}, {259916}, {261072}, {261524}},
               261826),
       "af0da31d", " 261674 3493"},
      {"audio CD, 15 tracks",
       MakeToc({{0},
                {17360},
                {33125},
                {45760},
                {57655},
                {78160},
                {94500},
                {109430},
                {131860},
                {149010},
                {164965},
                {177560},
                {203175},
                {215405},
                {235440}},
               258575),
       "b60d770f", " 235590 3449"},
      {"one track of 3610 seconds", MakeToc({{0}}, 270750), "020e1a01", " 150 3612"},
      {"two tracks", MakeToc({{0}, {600}}, 975), "03000d02", " 150 750 15"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Hex(CddbDiscId(c.toc)), c.id);
    const std::string query = CddbQueryCommand(c.toc);
    EXPECT_EQ(query.rfind(std::string("cddb query ") + c.id + " ", 0), 0u) << query;
    EXPECT_TRUE(query.ends_with(c.query_end)) << query;
  }
}

// Catches a wrong command for the documented two-track disc and for a disc
// whose track 1 starts past the lead-in (first offset 150 + 74).
TEST(CddbDiscIdTest, QueryCommandLines) {
  static const struct {
    const char* name;
    DiscToc toc;
    const char* command;
  } kCases[] = {
      {"two tracks", MakeToc({{0}, {600}}, 975), "cddb query 03000d02 2 150 750 15"},
      // t is the difference of two truncated seconds (4 - 2), not 76 / 75.
      {"truncation", MakeToc({{74}}, 150), "cddb query 02000201 1 224 4"},
      {"empty table", DiscToc{}, "cddb query ffffffff -1 2"},
      {"one data track", MakeToc({{0, kData}}, 30000), "cddb query 02019001 1 150 402"},
      // Numbered from 5: the length is still the lead-out's, not that of
      // whatever track happens to carry the number T.
      {"numbered from 5", MakeToc({{0}, {7500}, {15000}}, 22500, 5),
       "cddb query 09012c03 3 150 7650 15150 302"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CddbQueryCommand(c.toc), c.command);
  }
}

// Catches a wrong digit sum at its edges.
TEST(CddbDiscIdTest, DigitSum) {
  EXPECT_EQ(DigitSum(0), 0);
  EXPECT_EQ(DigitSum(-15), 0);
  EXPECT_EQ(DigitSum(2344), 13);
  EXPECT_EQ(DigitSum(3612), 12);
}

// Catches a read command that changes what the server sent.
TEST(CddbDiscIdTest, ReadCommandPassesWordsThrough) {
  EXPECT_EQ(CddbReadCommand("rock", "7A0B4C0D"), "cddb read rock 7A0B4C0D");
  EXPECT_EQ(CddbReadCommand("", ""), "cddb read  ");
}

}  // namespace
}  // namespace vyn
