// The parts of vynrip that are pure logic: the command line and the
// batch's bookkeeping from the control's events.
#include <gtest/gtest.h>

#include "tools/vynrip/batch_tracker.h"
#include "tools/vynrip/command_line.h"
#include "tools/vynrip/output_names.h"

namespace vyn::rip {
namespace {

// A track list read wrongly rips the wrong tracks.
TEST(TrackListTest, ParsesListsAndRejectsNonsense) {
  const struct {
    const char* text;
    std::vector<TrackRange> ranges;  // empty: rejected
  } kCases[] = {
      {"1", {{1, 1}}},
      {"1,3-5", {{1, 1}, {3, 5}}},
      {"2-2,7", {{2, 2}, {7, 7}}},
      {"", {}},
      {"0", {}},
      {"1,", {}},
      {"5-3", {}},
      {"a-b", {}},
      {"1-", {}},
      {"-3", {}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    auto parsed = ParseTrackList(c.text);
    if (c.ranges.empty()) {
      EXPECT_FALSE(parsed.ok());
    } else {
      ASSERT_TRUE(parsed.ok()) << parsed.error().message;
      EXPECT_EQ(*parsed, c.ranges);
    }
  }
  EXPECT_TRUE(IsSelected({}, 9));
  EXPECT_TRUE(IsSelected({{1, 1}, {3, 5}}, 4));
  EXPECT_FALSE(IsSelected({{1, 1}, {3, 5}}, 2));
}

// The name the control is given decides where the file lands and whether
// the overwrite check looks at the right file.
TEST(OutputNamesTest, NamesFollowTheControlsExtensionRule) {
  EXPECT_EQ(DefaultTrackName(3), "Track 03");
  EXPECT_EQ(OutputName("/music", "Track 03"), "/music/Track 03");
  EXPECT_EQ(OutputName("/", "x"), "/x");
  EXPECT_EQ(WavFileFor("/m/a"), "/m/a.wav");
  EXPECT_EQ(WavFileFor("/m/a.WAV"), "/m/a.WAV");
  EXPECT_EQ(WavFileFor("/m/a.mp3"), "/m/a.mp3.wav");
  EXPECT_EQ(AbsoluteFolder("/a/b/../c/"), "/a/c");
}

// Misreading the events would report a cancelled or failed batch as
// success, or wait for a job that never starts.
TEST(BatchTrackerTest, OutcomesFromEventSequences) {
  {
    SCOPED_TRACE("two jobs complete");
    BatchTracker batch(2);
    for (int i = 0; i < 2; ++i) {
      EXPECT_FALSE(batch.Settled());
      batch.Started();
      batch.Progress(0);
      batch.Progress(100);
      batch.Ended();
    }
    EXPECT_TRUE(batch.Settled());
    batch.Close();
    EXPECT_TRUE(batch.AllDone());
  }
  {
    SCOPED_TRACE("cancelled while reading: end without 100");
    BatchTracker batch(2);
    batch.Started();
    batch.Progress(40);
    batch.CancelRequested();
    EXPECT_FALSE(batch.Settled()) << "the job's end is still to come";
    batch.Ended();
    EXPECT_TRUE(batch.Settled());
    batch.Close();
    EXPECT_EQ(batch.outcome(0), JobOutcome::kCancelled);
    EXPECT_EQ(batch.outcome(1), JobOutcome::kNotRun);
    EXPECT_FALSE(batch.AllDone());
  }
  {
    SCOPED_TRACE("read error: error, 100, end");
    BatchTracker batch(2);
    batch.Started();
    batch.Failed("read failed");
    batch.Progress(100);
    EXPECT_FALSE(batch.Settled());
    batch.Ended();
    EXPECT_TRUE(batch.Settled());
    batch.Close();
    EXPECT_EQ(batch.outcome(0), JobOutcome::kFailed);
    EXPECT_EQ(batch.error(), "read failed");
  }
  {
    SCOPED_TRACE("second job's set-up fails: error only");
    BatchTracker batch(3);
    batch.Started();
    batch.Progress(100);
    batch.Ended();
    batch.Failed("Cancelled by user.");
    EXPECT_TRUE(batch.Settled());
    batch.Close();
    EXPECT_EQ(batch.outcome(0), JobOutcome::kDone);
    EXPECT_EQ(batch.outcome(1), JobOutcome::kFailed);
    EXPECT_EQ(batch.outcome(2), JobOutcome::kNotRun);
  }
  {
    SCOPED_TRACE("last job's finish fails: end, then error");
    BatchTracker batch(1);
    batch.Started();
    batch.Progress(100);
    batch.Ended();
    batch.Failed("Write error");
    batch.Close();
    EXPECT_EQ(batch.outcome(0), JobOutcome::kFailed);
    EXPECT_FALSE(batch.AllDone());
  }
}

}  // namespace
}  // namespace vyn::rip
