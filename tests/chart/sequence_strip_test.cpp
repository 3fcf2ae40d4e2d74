// The Sequencer staircase of the strip: stairs, marks and digits.
#include <gtest/gtest.h>

#include <vector>

#include "chart/search_strip_plan.h"
#include "chart/strip_walk.h"
#include "common/capture_builder.h"

namespace korvalog {
namespace {

using testing::CaptureBuilder;

struct Stair {
  int x0, x1, level, y;
  bool violation, digit;
  bool operator==(const Stair&) const = default;
};
void PrintTo(const Stair& s, std::ostream* os) {
  *os << "{" << s.x0 << "," << s.x1 << " L" << s.level << " y" << s.y << (s.violation ? " red" : "")
      << (s.digit ? " digit}" : "}");
}

std::vector<Stair> Stairs(const StripPlan& plan) {
  std::vector<Stair> out;
  for (const StepSegment& s : plan.steps) out.push_back({s.x0, s.x1, s.level, s.y, s.violation, s.digit});
  return out;
}

StripPlan Sequence(CaptureBuilder& b, uint16_t width = 101) {
  StripPlan plan;
  RenderSearchStrip(b.data, b.view, b.data.CaptureStart, b.data.CaptureEnd, kStripSequence, width, StripGeometry{},
                    plan);
  return plan;
}

// Row 1: channel 3 goes HIGH, at most 5 s to row 2: channel 4 goes HIGH.
CaptureBuilder& TwoRows(CaptureBuilder& b) { return b.Row(1, 3, 1, 0, 5).Row(2, 4, 1); }

TEST(SequenceStrip, StairsRiseWithTheMatchedRowsAndMarkTheLateStep) {
  CaptureBuilder b;
  TwoRows(b).Event(10.5, 3, 1).Event(16.5, 4, 1).Finish(100);
  const StripPlan plan = Sequence(b);
  EXPECT_EQ(plan.zoomLabel, "Seq.\\nZoom");
  EXPECT_EQ(plan.stepCount, 2);
  // Levels 0, 1, 2 at y 33, 25, 17; the 6 s gap is late; a stair narrower
  // than 7 columns gets no digit; the closing stair carries no mark.
  EXPECT_EQ(Stairs(plan), (std::vector<Stair>{{0, 10, 0, 33, false, true},
                                              {10, 16, 1, 25, true, false},
                                              {16, 101, 2, 17, false, true}}));
  const StepSegment& top = plan.steps.back();
  EXPECT_EQ(top.digitX, 17);  // above the middle: the digit goes below the line
  EXPECT_EQ(top.digitY, 19);
  EXPECT_EQ(plan.steps.front().digitX, 2);
  EXPECT_EQ(plan.steps.front().digitY, 24);
  EXPECT_EQ(plan.stats.MatchCount, 0);  // no statistics in this mode
  PixelLine mark;
  ASSERT_TRUE(StepViolationLine(plan.steps[1], plan.lines, mark));
  EXPECT_EQ(mark.x0, 16);
  EXPECT_EQ(mark.y0, 17);
  EXPECT_EQ(mark.y1, 33);
}

TEST(SequenceStrip, ABurstOfViolationsInOneColumnIsMarkedOnce) {
  CaptureBuilder b;
  // In State 0, channel 4 out of turn three times within column 50.
  TwoRows(b).Event(50.1, 4, 1).Event(50.2, 4, 0).Event(50.3, 4, 1).Finish(100);
  const StripPlan plan = Sequence(b);
  // Level -1 (State 0 lost) is not drawn.
  EXPECT_EQ(Stairs(plan), (std::vector<Stair>{{0, 50, 0, 33, true, true}}));
}

TEST(SequenceStrip, EmptyTableDrawsOnlyTheTimeLabels) {
  CaptureBuilder b;
  b.Event(10, 3, 1).Event(16, 4, 1).Finish(100);
  const StripPlan plan = Sequence(b);
  EXPECT_EQ(plan.stepCount, 0);
  EXPECT_TRUE(plan.steps.empty());
  EXPECT_FALSE(plan.span.end.empty());
}

TEST(SequenceStrip, WalkReportsLevelsAfterEachEvent) {
  CaptureBuilder b;
  TwoRows(b).Event(10, 3, 1).Event(14, 4, 1).Event(20, 7, 1).Event(30, 3, 0).Event(31, 4, 0).Finish(100);
  std::vector<int> levels;
  std::vector<bool> violations;
  const StripWalkEnd end = WalkStrip(b.data, b.view, b.data.CaptureStart, b.data.CaptureEnd, [&](const StripStep& s) {
    levels.push_back(s.levelAfter);
    violations.push_back(s.violation);
  });
  // Complete at 2; channel 7 takes no part and is not reported; channel 3
  // falling restarts outside State 0 (-1) until channel 4 is LOW again.
  EXPECT_EQ(levels, (std::vector<int>{1, 2, -1, 0}));
  EXPECT_EQ(violations, (std::vector<bool>{false, false, false, false}));
  EXPECT_EQ(end.level, 0);
}

}  // namespace
}  // namespace korvalog
