// A link gap makes what spans it unknown: Statistics' active periods, the
// search's matches and the Sequencer's steps and violations across a gap
// are not counted, as the window, korvalog-cli stats, search and sequence
// show them.
#include <gtest/gtest.h>

#include "analysis/statistics_accumulator.h"
#include "chart/capture_findings.h"
#include "chart/search_strip_plan.h"
#include "chart/strip_walk.h"
#include "common/capture_builder.h"

namespace korvalog {
namespace {

using testing::At;
using testing::CaptureBuilder;

// Channel 1 (searched high) is on 10..20 s and 30..32 s; the Sequencer wants
// channel 2 on, then off within 5 s, and gets it off 10 s later (40..50 s).
struct GapCase {
  const char* what;
  double start, end;  // seconds; end < 0: still open at the capture's end
  uint32_t periods, matches, violations;
};

TEST(LinkGapFigures, WhatSpansAGapIsNotCounted) {
  const GapCase cases[] = {
      {"no gap", -1, -1, 2, 2, 1},
      {"inside the first period", 15, 16, 1, 1, 1},
      {"from the first period's end", 20, 25, 2, 2, 1},
      {"inside the late step", 45, 46, 2, 2, 0},
      {"open from inside the second period", 31, -1, 1, 1, 0},
  };
  for (const GapCase& c : cases) {
    SCOPED_TRACE(c.what);
    CaptureBuilder b;
    b.Search(1, kSearchHigh).Row(1, 2, 1, 0, 5).Row(2, 2, 0);
    b.Event(10, 1, 1).Event(20, 1, 0).Event(30, 1, 1).Event(32, 1, 0).Event(40, 2, 1).Event(50, 2, 0).Finish(60);
    if (c.start >= 0) b.data.Gaps.Add(At(c.start), c.end >= 0 ? At(c.end) : kGapOpen);

    StatisticsAccumulator stats;
    stats.Accumulate(b.data, 1);
    uint32_t periods = 0;
    for (const IntervalCell& cell : stats.Cells(1)) periods += cell.count;
    EXPECT_EQ(periods, c.periods);

    StripPlan plan;
    RenderSearchStrip(b.data, b.view, b.data.CaptureStart, b.data.CaptureEnd, kStripSearch, 1000, StripGeometry{},
                      plan);
    EXPECT_EQ(static_cast<uint32_t>(plan.stats.MatchCount), c.matches);

    EXPECT_EQ(FindInCapture(b.data, b.view).violations.size(), c.violations);
    uint32_t walked = 0;
    WalkStrip(b.data, b.view, b.data.CaptureStart, b.data.CaptureEnd,
              [&](const StripStep& step) { walked += step.violation ? 1 : 0; });
    EXPECT_EQ(walked, c.violations);
  }
}

}  // namespace
}  // namespace korvalog
