// Sequencer matching: State 0, timing limits with their rounding, out-of-turn
// changes and completion.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "analysis/sequence_matcher.h"
#include "analysis/state_zero.h"
#include "common/capture_builder.h"

namespace korvalog {
namespace {

using testing::At;

// Drives a matcher the way a walk does, keeping the levels itself.
class Driver {
 public:
  explicit Driver(const SequenceTable& table) { matcher.StartPass(table, levels); }
  Driver(const SequenceTable& table, std::initializer_list<std::pair<int, uint8_t>> start) {
    for (auto [ch, level] : start) levels[ch - 1] = level;
    matcher.StartPass(table, levels);
  }
  // Returns whether the event was a violation.
  bool Event(double seconds, int channel, uint8_t state) {
    const uint8_t old = levels[channel - 1];
    levels[channel - 1] = state;
    return matcher.Step(static_cast<uint8_t>(channel), old, state, At(seconds));
  }
  int Level() const { return matcher.SequenceLevel(); }

  SequenceMatcher matcher;
  uint8_t levels[kChannelCount] = {};
};

SequenceTable Table(std::initializer_list<SequenceRow> rows) {
  SequenceTable t{};
  int i = 0;
  for (const SequenceRow& r : rows) t[i++] = r;
  return t;
}

// Row 1: channel 3 goes HIGH, Max 5; row 2: channel 4 goes HIGH.
const SequenceTable kThreeThenFour = Table({{3, 1, 0, 5}, {4, 1, 0, 0}});

TEST(SequenceMatcher, GapWithinTheMaximumCompletesWithoutViolation) {
  Driver d(kThreeThenFour);
  EXPECT_EQ(d.Level(), 0);
  EXPECT_FALSE(d.Event(10, 3, 1));
  EXPECT_EQ(d.Level(), 1);
  EXPECT_FALSE(d.Event(14, 4, 1));
  EXPECT_EQ(d.Level(), 2);
  // Complete; the next involved event restarts outside State 0.
  EXPECT_FALSE(d.Event(20, 3, 0));
  EXPECT_EQ(d.Level(), -1);
  EXPECT_FALSE(d.Event(21, 4, 0));
  EXPECT_EQ(d.Level(), 0);
}

TEST(SequenceMatcher, GapBeyondTheMaximumStillAdvancesButIsAViolation) {
  Driver d(kThreeThenFour);
  d.Event(10, 3, 1);
  EXPECT_TRUE(d.Event(16, 4, 1));
  EXPECT_EQ(d.Level(), 2);
}

TEST(SequenceMatcher, OutOfTurnChangeResetsWithAViolation) {
  Driver d(kThreeThenFour);
  d.Event(10, 3, 1);
  EXPECT_TRUE(d.Event(11, 3, 0));  // channel 3 falls while row 2 is expected
  EXPECT_EQ(d.matcher.SequencePosition, 0);
  EXPECT_EQ(d.Level(), 0);  // both LOW again: State 0
  // Out of turn at position 0 is a violation only within State 0.
  EXPECT_TRUE(d.Event(12, 4, 1));
  EXPECT_EQ(d.Level(), -1);
  EXPECT_FALSE(d.Event(13, 4, 0));
}

TEST(SequenceMatcher, RowOneOutsideStateZeroDoesNotStartThePattern) {
  Driver d(kThreeThenFour, {{4, 1}});  // channel 4 HIGH: State 0 does not hold
  EXPECT_EQ(d.Level(), -1);
  EXPECT_FALSE(d.Event(10, 3, 1));
  EXPECT_EQ(d.matcher.SequencePosition, 0);
  EXPECT_DOUBLE_EQ(d.matcher.LastStepTime, At(10));  // taken all the same
}

TEST(SequenceMatcher, MinimumTimeRoundsToWholeSecondsHalvesToEven) {
  const SequenceTable table = Table({{1, 1, 10, 0}, {2, 1, 0, 0}});
  auto violates = [&](double gap) {
    Driver d(table);
    d.Event(100, 1, 1);
    return d.Event(100 + gap, 2, 1);
  };
  EXPECT_TRUE(violates(9.4));    // 9 s
  EXPECT_FALSE(violates(9.5));   // 10 s (halves to even)
  EXPECT_FALSE(violates(10.5));  // 10 s
  EXPECT_FALSE(violates(30));    // no maximum
  const SequenceTable maxEleven = Table({{1, 1, 0, 11}, {2, 1, 0, 0}});
  Driver d(maxEleven);
  d.Event(100, 1, 1);
  EXPECT_TRUE(d.Event(111.5, 2, 1));  // 12 s
}

TEST(SequenceMatcher, GapRounding) {
  const double day = 1.0 / 86400;
  EXPECT_EQ(GapToWholeSeconds(9.5 * day), 10);
  EXPECT_EQ(GapToWholeSeconds(10.5 * day), 10);
  EXPECT_EQ(GapToWholeSeconds(11.5 * day), 12);
  EXPECT_EQ(GapToWholeSeconds(9.499 * day), 9);
  EXPECT_EQ(GapToWholeSeconds(-1.5 * day), -2);
  EXPECT_EQ(GapToWholeSeconds(At(109.5) - At(100)), 10);
  EXPECT_EQ(GapToWholeSeconds(std::numeric_limits<double>::infinity()), 0);
}

TEST(SequenceMatcher, UninvolvedChannelsChangeNothing) {
  Driver d(kThreeThenFour);
  d.Event(10, 3, 1);
  EXPECT_FALSE(d.Event(11, 9, 1));
  EXPECT_FALSE(d.Event(12, 9, 0));
  EXPECT_EQ(d.Level(), 1);
}

TEST(SequenceMatcher, AllFifteenRowsCompleteAndRestart) {
  SequenceTable table{};
  for (int r = 0; r < kSequenceRows; ++r) table[r] = SequenceRow{static_cast<uint8_t>(r + 1), 1, 0, 0};
  Driver d(table);
  for (int r = 0; r < kSequenceRows; ++r) EXPECT_FALSE(d.Event(r, r + 1, 1));
  EXPECT_EQ(d.Level(), 15);  // waits past the last row while State 0 does not hold
  EXPECT_FALSE(d.Event(20, 1, 0));
  EXPECT_EQ(d.matcher.SequencePosition, 0);
}

TEST(SequenceMatcher, RepeatedLevelDoesNotUnbalanceStateZero) {
  Driver d(kThreeThenFour);
  d.Event(10, 9, 1);
  d.levels[3] = 0;
  d.Event(11, 4, 0);  // channel 4 "falls" while already LOW
  EXPECT_EQ(d.matcher.StateZeroMismatch, 0);
  EXPECT_EQ(d.Level(), 0);
}

TEST(StateZero, FirstRowNamingAChannelDecides) {
  const SequenceTable table = Table({{3, 1, 0, 0}, {5, 0, 0, 0}, {3, 0, 0, 0}, {0, 1, 0, 0}, {8, 1, 0, 0}});
  const StateZeroTable zero = BuildStateZero(table);
  EXPECT_EQ(zero[2], 0);  // first goes HIGH: must be LOW
  EXPECT_EQ(zero[4], 1);
  EXPECT_EQ(zero[7], 0);  // after the first empty row, still part of State 0
  EXPECT_EQ(zero[0], kSearchIgnore);
  ChannelTable channels;
  ResetChannelTable(channels);
  SetChannelName(channels[4], "Door");
  EXPECT_EQ(StateZeroMarkup(table, channels), "\\1#3 \\9Door \\1#8 ");
}

TEST(StateZero, DamagedSignalBytesNameNoChannel) {
  const SequenceTable table = Table({{200, 1, 0, 0}, {2, 1, 0, 0}});
  EXPECT_EQ(BuildStateZero(table)[1], 0);
  ChannelTable channels;
  ResetChannelTable(channels);
  EXPECT_EQ(StateZeroMarkup(table, channels), "\\1#2 ");
}

}  // namespace
}  // namespace korvalog
