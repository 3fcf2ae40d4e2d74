// The gaps of a capture: kept in order and merged, closed by the link's
// return, and the questions the figures ask of them.
#include "core/capture_gaps.h"

#include <gtest/gtest.h>

#include <cmath>

namespace korvalog {
namespace {

TEST(CaptureGaps, AddKeepsOrderMergesOverlapsAndRefusesWhatIsNoGap) {
  CaptureGaps gaps;
  EXPECT_TRUE(gaps.Add(10, 12));
  EXPECT_TRUE(gaps.Add(2, 3));
  EXPECT_TRUE(gaps.Add(11, 15));  // overlaps the first: one gap
  EXPECT_TRUE(gaps.Add(3, 4));    // touches: one gap
  EXPECT_FALSE(gaps.Add(5, 4));
  EXPECT_FALSE(gaps.Add(NAN, 4));
  EXPECT_FALSE(gaps.Add(1, NAN));
  EXPECT_EQ(gaps.Spans(), (std::vector<GapSpan>{{2, 4}, {10, 15}}));

  gaps.Clear();
  gaps.Lost(20);
  gaps.Lost(21);  // still lost: the same gap
  EXPECT_TRUE(gaps.Open());
  gaps.Back(25);
  gaps.Back(26);  // nothing open
  gaps.Lost(24);  // a clock set back lands in the gap before: it goes on
  EXPECT_EQ(gaps.Copy(), (std::vector<GapSpan>{{20, kGapOpen}}));
}

TEST(CaptureGaps, OverlapsCursorAndDaysAnswerAlike) {
  const std::vector<GapSpan> gaps{{10, 12}, {20, 20}, {30, kGapOpen}};
  struct Case {
    double from, to;
    bool overlaps;
    double days;  // of gap within [from, to]
  } const cases[] = {
      {0, 10, false, 0},   // ends as the gap begins
      {12, 19, false, 0},  // begins as it ends
      {9, 11, true, 1},    {11, 11.5, true, 0.5}, {0, 40, true, 12},
      {19, 21, true, 0},   // a gap of no length still breaks a figure
      {31, 35, true, 4},   {25, 29, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.from << ".." << c.to);
    EXPECT_EQ(OverlapsGap(gaps, c.from, c.to), c.overlaps);
    EXPECT_DOUBLE_EQ(GapDaysWithin(gaps, c.from, c.to), c.days);
    // A walk from `from` stepping to `to` crosses exactly when they overlap.
    GapCursor cursor(gaps, c.from);
    EXPECT_EQ(cursor.Crossed(c.to), c.overlaps);
  }
  // Step by step: each step into or through a gap, and only those.
  GapCursor walk(gaps, 0);
  std::vector<double> crossed;
  for (double t : {5.0, 10.0, 11.0, 11.5, 13.0, 19.0, 21.0, 25.0, 31.0, 32.0}) {
    if (walk.Crossed(t)) crossed.push_back(t);
  }
  EXPECT_EQ(crossed, (std::vector<double>{11.0, 11.5, 13.0, 21.0, 31.0, 32.0}));
}

}  // namespace
}  // namespace korvalog
