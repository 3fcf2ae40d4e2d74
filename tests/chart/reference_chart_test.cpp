// A reference capture under the open one: aligned by the clock or by a
// chosen moment, drawn column by column at the levels it had, and the
// Sequencer runs whose step times differ found and stepped through.
#include <gtest/gtest.h>

#include "analysis/lift_report.h"
#include "analysis/run_differences.h"
#include "app/demo_logger.h"
#include "chart/reference_chart.h"
#include "transport/lift_traffic.h"

namespace korvalog {
namespace {

using sim::LiftChannels;
constexpr double kMonday = 46091.25;  // a morning, 06:00

void Record(CaptureData& data, CaptureView& view, ManualClock& clock, double start, int64_t closeMs) {
  SetStartupDefaults(data, view);
  NameLiftInputs(view.Traces);
  sim::LiftTrafficParameters p;
  p.seed = 3;
  p.doorCloseMs = closeMs;
  sim::LiftTraffic traffic(p);
  sim::RecordLiftTraffic(traffic, data, clock, start, 20 * 60000);
}

std::vector<SequenceRun> Runs(const CaptureData& data, const SequenceTable& pattern) {
  LiftReport r;
  r.Compute(data, pattern, ChannelRoles{});
  return r.sequence.runs;
}

TEST(ReferenceChart, AlignsDrawsReadsAndWalksTheDifferences) {
  ManualClock clock;
  CaptureData data(clock);
  CaptureView view;
  Record(data, view, clock, kMonday, 3200);
  ReferenceChart ref(clock);
  Record(ref.Data(), ref.View(), clock, kMonday - 7 + 30.0 / 86400, 4000);  // a week before, 30 s later
  ref.Loaded("last-week.kv", view.Traces);
  ASSERT_TRUE(ref.Open());
  EXPECT_TRUE(ref.Match().unmatchedBefore.empty());

  // By the clock: whole days apart.
  ref.AlignTimeOfDay(data.CaptureStart.time);
  EXPECT_DOUBLE_EQ(ref.OffsetDays(), -7.0);
  EXPECT_EQ(ref.OffsetText().rfind("-7 ", 0), 0u) << ref.OffsetText();
  // By a moment: the reference's moment lies under the open one's.
  ref.AlignMoments(kMonday + 60.0 / 86400, kMonday - 7 + 90.0 / 86400);
  EXPECT_NEAR(ref.ToReference(kMonday + 60.0 / 86400), kMonday - 7 + 90.0 / 86400, 1e-9);

  // Drawn at the levels it had: each span's middle column reads its level.
  const ReferenceRow* close = nullptr;
  for (const ReferenceRow& r : ref.Rows()) {
    if (r.reference == LiftChannels::kDoorCloseRelay) close = &r;
  }
  ASSERT_NE(close, nullptr);
  const ReferenceRow row = *close;
  EXPECT_EQ(close->label, "ref \xC2\xB7 Door close relay");
  struct Window {
    double from, to;
    int width;
  };
  for (const Window w : {Window{kMonday, kMonday + 120.0 / 86400, 600}, Window{kMonday, kMonday + 0.02, 400},
                         Window{kMonday - 0.01, kMonday + 0.001, 300}}) {
    int drawn = 0, lastEnd = -1;
    for (const ReferenceSpan& s : ref.Spans(*close, w.from, w.to, w.width)) {
      EXPECT_TRUE(s.x0 < s.x1 && s.x0 >= lastEnd && s.x1 <= w.width);
      lastEnd = s.x1;
      drawn += s.x1 - s.x0;
      if (s.busy || s.x1 - s.x0 < 3) continue;
      const double mid = w.from + (s.x0 + s.x1) / 2.0 / w.width * (w.to - w.from);
      EXPECT_EQ(ref.LevelAt(close->reference, mid), s.level);
    }
    EXPECT_GT(drawn, 0);
  }
  EXPECT_EQ(ref.LevelAt(close->reference, kMonday - 1), -1);  // before the reference
  EXPECT_NE(ref.Readout(*close, 1, kMonday + 100.0 / 86400).find(", ref "), std::string::npos);

  // The walker: close command to closed limit, 3.2 s now and 4.0 s then.
  SequenceTable pattern{};
  pattern[0] = SequenceRow{LiftChannels::kDoorCloseRelay, 1, 0, 0};
  pattern[1] = SequenceRow{LiftChannels::kDoorClosedLimit, 1, 0, 0};
  const auto now = Runs(data, pattern), then = Runs(ref.Data(), pattern);
  ASSERT_GT(now.size(), 5u);
  ref.AlignTimeOfDay(data.CaptureStart.time);
  struct Tolerance {
    double seconds;
    bool all;
  };
  for (const Tolerance t : {Tolerance{0.5, true}, Tolerance{1.0, false}}) {
    const auto found = RunDifferences(now, then, data.CaptureStart.time, ref.OffsetDays(), t.seconds);
    EXPECT_EQ(found.size(), t.all ? std::min(now.size(), then.size()) : 0u) << t.seconds;
    for (const RunDifference& d : found) EXPECT_NEAR(d.Difference(), -0.8, 1e-3);
    DifferenceWalker walker;
    walker.Set(found);
    if (!t.all) {
      EXPECT_EQ(walker.Step(kMonday, true), nullptr);
      continue;
    }
    const RunDifference* first = walker.Step(kMonday - 1, true);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->start, now[0].start);
    const RunDifference* second = walker.Step(first->start, true);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->start, now[1].start);
    EXPECT_EQ(walker.Step(second->start, false), first);
  }

  ref.Close();
  EXPECT_FALSE(ref.Open());
  EXPECT_TRUE(ref.Spans(row, kMonday, kMonday + 0.01, 100).empty());
}

}  // namespace
}  // namespace korvalog
