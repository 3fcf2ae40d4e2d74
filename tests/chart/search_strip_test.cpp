// The search trace and the match statistics of the strip.
#include <gtest/gtest.h>

#include <vector>

#include "chart/search_strip_plan.h"
#include "common/capture_builder.h"
#include "common/print_segments.h"

namespace korvalog {
namespace {

using testing::At;
using testing::CaptureBuilder;
using testing::Seconds;

using Segments = std::vector<LevelSegment>;

StripPlan Search(CaptureBuilder& b, uint16_t width = 101) {
  StripPlan plan;
  RenderSearchStrip(b.data, b.view, b.data.CaptureStart, b.data.CaptureEnd, kStripSearch, width, StripGeometry{}, plan);
  return plan;
}

TEST(SearchStrip, MatchesOfTwoFourAndSixSeconds) {
  CaptureBuilder b;
  b.Search(1, kSearchHigh).Search(2, kSearchLow);
  b.Event(10.5, 1, 1).Event(12.5, 1, 0).Event(20.5, 1, 1).Event(24.5, 1, 0);
  b.Event(30.5, 1, 1).Event(33, 3, 1).Event(36.5, 1, 0).Finish(100);  // channel 3 is not searched
  const StripPlan plan = Search(b);
  EXPECT_EQ(plan.stats.MatchCount, 3);
  EXPECT_NEAR(Seconds(plan.stats.MatchAverage()), 4.0, 1e-6);
  EXPECT_NEAR(Seconds(plan.stats.MatchShortest), 2.0, 1e-6);
  EXPECT_NEAR(Seconds(plan.stats.MatchLongest), 6.0, 1e-6);
  EXPECT_NEAR(Seconds(plan.stats.MatchTotal), 12.0, 1e-6);
  EXPECT_EQ(plan.statsMarkup,
            "\\4Count=\\b3\\b Avg=\\b4.00\\b Short=\\b2.00\\b Long=\\b6.00\\b Total=\\b12.00");
  EXPECT_EQ(MatchStatisticsLine(plan.stats), "Count=3 Avg=4.00 Short=2.00 Long=6.00 Total=12.00");
  // HIGH while the search holds, an edge at every change, flat to the end.
  EXPECT_EQ(plan.searchTrace, (Segments{{0, 10, 0, true},
                                        {10, 12, 1, true},
                                        {12, 20, 0, true},
                                        {20, 24, 1, true},
                                        {24, 30, 0, true},
                                        {30, 36, 1, true},
                                        {36, 101, 0, false}}));
  EXPECT_EQ(plan.zoomLabel, "Search\\nZoom");
  EXPECT_EQ(plan.span.start, "01/01 0000:00.005");
  EXPECT_EQ(plan.span.duration, "1:40.00");
}

TEST(SearchStrip, MatchesCutByTheWindowAreNotCounted) {
  CaptureBuilder b;
  b.Search(1, kSearchHigh).StartLevel(1, 1);
  // Running at the start, one whole match of 2 s, running at the end.
  b.Event(5.5, 1, 0).Event(10.5, 1, 1).Event(12.5, 1, 0).Event(40.5, 1, 1).Finish(100);
  const StripPlan plan = Search(b);
  EXPECT_EQ(plan.stats.MatchCount, 1);
  EXPECT_NEAR(Seconds(plan.stats.MatchTotal), 2.0, 1e-6);
  EXPECT_EQ(plan.searchTrace.front(), (LevelSegment{0, 5, 1, true}));
  EXPECT_EQ(plan.searchTrace.back(), (LevelSegment{40, 101, 1, false}));
}

TEST(SearchStrip, TwoChangesInOneColumnDrawOnceButBothCount) {
  CaptureBuilder b;
  b.Search(1, kSearchHigh);
  b.Event(41, 1, 1).Event(43, 1, 0).Finish(100);
  const StripPlan plan = Search(b, 11);  // ten seconds per column
  EXPECT_EQ(plan.stats.MatchCount, 1);
  EXPECT_EQ(plan.searchTrace, (Segments{{0, 4, 0, true}, {4, 11, 0, false}}));
}

TEST(SearchStrip, WithNoChannelSearchedEveryMomentMatches) {
  CaptureBuilder b;
  b.Event(10, 1, 1).Event(20, 1, 0).Finish(100);
  const StripPlan plan = Search(b);
  EXPECT_EQ(plan.searchTrace, (Segments{{0, 101, 1, false}}));
  EXPECT_EQ(plan.stats.MatchCount, 0);
  EXPECT_TRUE(plan.statsMarkup.empty());
  EXPECT_EQ(MatchStatisticsLine(plan.stats), "Count=0");
}

TEST(SearchStrip, WithoutDataTheStripIsEmptyButTheLabelFollowsTheMode) {
  CaptureBuilder b;
  b.Search(1, kSearchHigh).Event(10, 1, 1).Event(20, 1, 0).Finish(100);
  b.data.DataPresent.store(0);
  StripPlan plan;
  RenderSearchStrip(b.data, b.view, b.data.CaptureStart, b.data.CaptureEnd, kStripSequence, 101, StripGeometry{}, plan);
  EXPECT_FALSE(plan.hasData);
  EXPECT_EQ(plan.zoomLabel, "Seq.\\nZoom");
  EXPECT_TRUE(plan.searchTrace.empty());
  EXPECT_TRUE(plan.steps.empty());
  EXPECT_TRUE(plan.span.start.empty());
}

TEST(SearchStrip, ZeroLengthWindowComputesWithoutFailing) {
  CaptureBuilder b(7);
  b.Search(1, kSearchHigh);
  b.Event(7, 1, 1).Event(7, 1, 0).Event(7, 1, 1).Event(7, 1, 0).Finish(7);
  const StripPlan plan = Search(b, 0);
  ASSERT_TRUE(plan.hasData);
  EXPECT_EQ(plan.searchTrace, (Segments{{0, 0, 0, true}, {0, 0, 0, false}}));
  EXPECT_EQ(plan.stats.MatchCount, 2);
  EXPECT_EQ(plan.stats.MatchTotal, 0.0);
  EXPECT_EQ(plan.span.duration, "0.00");
  EXPECT_EQ(Search(b, 1000).searchTrace.back(), (LevelSegment{0, 1000, 0, false}));
}

TEST(SearchStrip, DamagedSnapshotLevelsDoNotUnbalanceTheCounter) {
  CaptureBuilder b;
  b.Search(1, kSearchHigh);
  b.data.CaptureStart.states[0] = 7;  // a loaded file may hold any byte
  b.Event(10.5, 1, 1).Event(20.5, 1, 0).Event(30.5, 1, 1).Event(40.5, 1, 0).Finish(100);
  const StripPlan plan = Search(b);
  EXPECT_EQ(plan.stats.MatchCount, 1);  // 30.5 .. 40.5; the first is running at the start
}

}  // namespace
}  // namespace korvalog
