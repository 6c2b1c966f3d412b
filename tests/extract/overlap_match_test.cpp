#include "extract/overlap_match.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "extract/audio_units.h"
#include "tests/extract/synthetic_pcm.h"

namespace vyn {
namespace {

using testing::SyntheticPcm;

constexpr std::uint32_t kChunkFirstFrame = 100'000;

std::vector<BYTE> Chunk(std::int32_t sectors) {
  return SyntheticPcm(kChunkFirstFrame, static_cast<std::size_t>(sectors) * 588);
}

// The sector of synthetic audio that starts `frames` stereo frames into the chunk.
std::vector<BYTE> SectorAt(std::int32_t frames) {
  return SyntheticPcm(kChunkFirstFrame + frames, 588);
}

// Catches a search that starts elsewhere than the centre, steps by other
// than one stereo frame, misses the window's edges, or returns the
// position of the copy instead of the byte behind it.
TEST(MatchOverlapTest, FindsThePreviousLastSectorAndContinuesBehindIt) {
  const struct {
    const char* name;
    std::int32_t sectors;
    std::int32_t reference_frame;  // where the reference lies in the chunk
    OverlapMatch expected;
  } kCases[] = {
      {"exact drive, full chunk", 26, 6 * 588, {16464, false}},
      {"drive one frame late", 26, 6 * 588 - 1, {16460, false}},
      {"drive 2 sectors early", 26, 8 * 588, {21168, false}},
      {"drive 4 sectors late", 26, 2 * 588, {7056, false}},
      {"at the centre", 26, 15288 / 4, {17640, false}},
      {"lowest candidate", 26, 1, {2356, false}},
      {"highest candidate", 26, (15288 + 15284) / 4, {32924, false}},
      {"short final chunk", 8, 6 * 588, {16464, false}},
  };
  for (const auto& test : kCases) {
    SCOPED_TRACE(test.name);
    EXPECT_EQ(MatchOverlap(SectorAt(test.reference_frame), Chunk(test.sectors)), test.expected);
  }
}

// Catches a miss that is not reported, or a stream that continues from
// anywhere but the window's centre after one.
TEST(MatchOverlapTest, AMissContinuesFromTheWindowCentre) {
  const struct {
    std::int32_t sectors;
    OverlapMatch expected;
  } kCases[] = {
      {26, {15288, true}},
      {14, {15288, true}},
      {8, {8232, true}},
      {2, {1176, true}},
  };
  const std::vector<BYTE> elsewhere = SyntheticPcm(7, 588);
  for (const auto& test : kCases) {
    SCOPED_TRACE(test.sectors);
    EXPECT_EQ(MatchOverlap(elsewhere, Chunk(test.sectors)), test.expected);
  }
}

// Catches a one-sector chunk or a missing reference reported as jitter,
// or a read past the data.
TEST(MatchOverlapTest, NothingToSearchIsNoMiss) {
  const std::vector<BYTE> reference = SectorAt(0);
  EXPECT_EQ(MatchOverlap(reference, Chunk(1)), (OverlapMatch{0, false}));
  EXPECT_EQ(MatchOverlap({}, Chunk(26)), (OverlapMatch{0, false}));
  EXPECT_EQ(MatchOverlap(reference, {}), (OverlapMatch{0, false}));
  const std::vector<BYTE> one_sector = Chunk(1);
  EXPECT_EQ(MatchOverlap(reference, std::span(one_sector).first(1000)), (OverlapMatch{0, false}));
}

// Catches a search that prefers the farther copy, or the later of two
// equally near ones.
TEST(MatchOverlapTest, TheCopyNearestTheCentreWinsAndTheEarlierOnATie) {
  const std::vector<BYTE> reference = SyntheticPcm(7, 588);
  auto with_copies_at = [&](std::initializer_list<std::uint32_t> positions) {
    std::vector<BYTE> chunk = Chunk(26);
    for (std::uint32_t position : positions)
      std::memcpy(chunk.data() + position, reference.data(), reference.size());
    return MatchOverlap(reference, chunk);
  };
  EXPECT_EQ(with_copies_at({15288 - 2400, 15288 + 2400}).offset, 15288 - 2400 + 2352u);
  EXPECT_EQ(with_copies_at({15288 - 2404, 15288 + 2400}).offset, 15288 + 2400 + 2352u);
}

// Catches silence matched anywhere but at the first candidate: a silent
// reference in silent audio continues half a sector late, without a miss.
TEST(MatchOverlapTest, SilenceMatchesAtTheCentre) {
  const std::vector<BYTE> silence(kChunkBytes, 0);
  EXPECT_EQ(MatchOverlap(std::span(silence).first(kSectorBytes), silence),
            (OverlapMatch{17640, false}));
}

}  // namespace
}  // namespace vyn
