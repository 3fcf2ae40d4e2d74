// Time-to-pixel mappings and snapshot walking.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "chart/snapshot_walk.h"
#include "chart/time_axis.h"
#include "common/capture_builder.h"

namespace korvalog {
namespace {

using testing::At;
using testing::CaptureBuilder;

PositionSnapshot SnapAt(double seconds, uint32_t index = 0) {
  PositionSnapshot s;
  s.time = At(seconds);
  s.index = index;
  return s;
}

TEST(TimeToX, TruncatesOntoColumnsWithTheEndOnTheLastColumn) {
  const PositionSnapshot from = SnapAt(0), to = SnapAt(1000);
  EXPECT_EQ(TimeToX(At(0), from, to, 1001), 0);
  EXPECT_EQ(TimeToX(At(1000), from, to, 1001), 1000);
  EXPECT_EQ(TimeToX(At(999.99), from, to, 1001), 999);  // truncation, not rounding
  EXPECT_EQ(TimeToX(At(1000), from, to, 1000), 999);
  // An odd span whose end must still land exactly on the last column.
  const PositionSnapshot odd = SnapAt(3.7);
  EXPECT_EQ(TimeToX(odd.time, SnapAt(0.3), odd, 997), 996);
}

TEST(TimeToX, DegenerateWindowsAndTimesNeverFail) {
  const PositionSnapshot same = SnapAt(50);
  EXPECT_EQ(TimeToX(At(50), same, same, 1000), 0);  // zero-length window: its left edge
  EXPECT_EQ(TimeToX(At(80), same, same, 1000), 0);
  EXPECT_EQ(TimeToX(At(10), SnapAt(20), SnapAt(10), 1000), 0);  // reversed window
  const PositionSnapshot from = SnapAt(0), to = SnapAt(100);
  EXPECT_EQ(TimeToX(At(-5), from, to, 1000), 0);      // before the window
  EXPECT_EQ(TimeToX(At(500), from, to, 1000), 999);   // after it
  EXPECT_EQ(TimeToX(std::numeric_limits<double>::quiet_NaN(), from, to, 1000), 0);
  EXPECT_EQ(TimeToX(std::numeric_limits<double>::infinity(), from, to, 1000), 999);
  EXPECT_EQ(TimeToX(At(50), from, to, 0), 0);
  EXPECT_EQ(TimeToX(At(50), from, to, 1), 0);
  EXPECT_EQ(TimeToX(At(100), from, to, 65535), 65534);
}

TEST(ColumnCursor, GivesWhatTheMappingGivesInAnyOrder) {
  std::mt19937_64 random(7);
  for (uint16_t width : {uint16_t{1000}, uint16_t{997}, uint16_t{2}, uint16_t{1}, uint16_t{0}}) {
    const PositionSnapshot from = SnapAt(0), to = SnapAt(3600);
    const TimeAxis axis(from, to, width);
    ColumnCursor cursor(axis);
    std::vector<double> times;
    for (int i = 0; i < 20000; ++i) times.push_back(At(std::uniform_real_distribution<double>(-100, 3700)(random)));
    std::sort(times.begin(), times.begin() + 15000);  // mostly forward, then at random
    for (uint16_t c = 0; c < width; ++c) {              // and every column boundary
      times.push_back(from.time + (to.time - from.time) * c / (width - 1));
    }
    times.push_back(from.time);
    times.push_back(to.time);
    times.push_back(std::numeric_limits<double>::quiet_NaN());
    times.push_back(At(5));
    for (double t : times) {
      ASSERT_EQ(cursor.X(t), TimeToX(t, from, to, width)) << "width " << width << " t " << t;
      ASSERT_EQ(axis.X(t), axis.Exact(t)) << "width " << width << " t " << t;  // multiply == divide
    }
  }
}

TEST(StripXToTime, DividesByTheFullWidthAndSurvivesZeroWidth) {
  const PositionSnapshot from = SnapAt(0), to = SnapAt(400);
  EXPECT_DOUBLE_EQ(StripXToTime(100, 100, 400, from, to), At(0));
  EXPECT_NEAR(StripXToTime(200, 100, 400, from, to), At(100), 1e-9);
  EXPECT_DOUBLE_EQ(StripXToTime(500, 100, 400, from, to), At(400));  // right handle at the end
  EXPECT_DOUBLE_EQ(StripXToTime(300, 100, 0, from, to), At(0));
}

TEST(CursorTime, ScalesByWaveWidthAndSurvivesZeroWidth) {
  const PositionSnapshot from = SnapAt(0), to = SnapAt(100);
  EXPECT_NEAR(CursorTime(60, 10, 100, from, to), At(50), 1e-9);
  EXPECT_DOUBLE_EQ(CursorTime(60, 10, 0, from, to), At(0));
}

TEST(AdvanceSnapshot, StopsAtTheFirstEventNotBeforeTheTime) {
  CaptureBuilder b;
  b.Event(1, 1, 1).Event(2, 2, 1).Event(3, 1, 0).Event(3, 3, 1).Event(5, 2, 0).Finish(6);
  EventWalker walker(b.data, b.view);
  PositionSnapshot s = b.data.CaptureStart;
  walker.AdvanceSnapshot(s, At(3), b.data.CaptureEnd);
  EXPECT_EQ(s.index, 2u);  // events at 3 s are not before 3 s
  EXPECT_DOUBLE_EQ(s.time, At(3));
  EXPECT_EQ(s.states[0], 1);
  EXPECT_EQ(s.states[1], 1);
  EXPECT_EQ(s.states[2], 0);
  walker.AdvanceSnapshot(s, At(4), b.data.CaptureEnd);
  EXPECT_EQ(s.index, 4u);
  EXPECT_EQ(s.states[0], 0);
  EXPECT_EQ(s.states[2], 1);
}

TEST(AdvanceSnapshot, IsBoundedByTheZoomEndAndTheCount) {
  CaptureBuilder b;
  b.Event(1, 1, 1).Event(2, 1, 0).Event(3, 1, 1).Finish(4);
  EventWalker walker(b.data, b.view);
  PositionSnapshot zoomEnd = b.data.CaptureEnd;
  zoomEnd.index = 2;
  PositionSnapshot s = b.data.CaptureStart;
  walker.AdvanceSnapshot(s, At(100), zoomEnd);
  EXPECT_EQ(s.index, 2u);
  EXPECT_EQ(s.states[0], 0);
  // A damaged end index beyond the stored events stops at the count.
  zoomEnd.index = 1000;
  walker.AdvanceSnapshot(s, At(100), zoomEnd);
  EXPECT_EQ(s.index, 3u);
}

TEST(StepEvent, KeepsTheSearchCounterAndIgnoresDamagedChannels) {
  CaptureBuilder b;
  b.Search(1, kSearchHigh).Search(2, kSearchLow);
  b.Event(1, 1, 1).Event(2, 200, 1).Event(3, 2, 1).Event(4, 2, 1).Event(5, 0, 0).Finish(6);
  EventWalker walker(b.data, b.view);
  PositionSnapshot s = b.data.CaptureStart;
  walker.StartPass(s);
  EXPECT_EQ(walker.SearchMismatch, 1);  // channel 1 is LOW, wanted HIGH
  const int expected[] = {0, 0, 1, 1, 1};  // a repeated level moves nothing
  for (int want : expected) {
    walker.StepEvent(s);
    ++s.index;
    EXPECT_EQ(walker.SearchMismatch, want) << "after event " << s.index;
  }
}

}  // namespace
}  // namespace korvalog
