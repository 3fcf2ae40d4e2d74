// The report and its plots where times are not what they should be: a
// capture whose clock was set back, and durations no plot can bin.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "analysis/lift_report.h"
#include "analysis/report_plots.h"
#include "app/demo_logger.h"
#include "base/date_time.h"
#include "core/capture_data.h"

namespace korvalog {
namespace {

using sim::LiftChannels;

TEST(ReportPlots, HistogramBinsOnlyTimesItCanDraw) {
  constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
  constexpr double kInf = std::numeric_limits<double>::infinity();
  const struct {
    std::vector<double> seconds;
    double counted;
  } cases[] = {
      {{}, 0}, {{-86379.0}, 0}, {{kNan, kInf, -kInf}, 0}, {{1e300, 2.0}, 1}, {{-5, 3, 7, kNan}, 2}, {{0, 0, 0}, 3},
  };
  for (const auto& c : cases) {
    Occurrences items;
    for (double s : c.seconds) items.push_back(Occurrence{OccurrenceKind::HallWait, {}, 1, 0, 0, 46091.5, s});
    const PlotPlan p = HistogramPlot("waits", items);
    double counted = 0;
    for (const PlotBar& b : p.bars) {
      counted += b.y1;
      EXPECT_TRUE(b.x0 >= p.xMin && b.x1 <= p.xMax) << b.x0 << ".." << b.x1;
    }
    EXPECT_EQ(counted, c.counted) << c.seconds.size();
    EXPECT_TRUE(std::isfinite(p.xMax) && p.xMax > p.xMin);
  }
}

TEST(LiftReport, AClockSetBackWhileCapturingGivesNoNegativeFigure) {
  ManualClock clock;
  CaptureData data(clock);
  CaptureView view;
  SetStartupDefaults(data, view);
  NameLiftChannels(view.Traces);
  const double t0 = 46091.5;
  const auto at = [&](double seconds) { return t0 + seconds / kSecondsPerDay; };
  clock.Set(t0);
  data.SetCapture(true);
  // A hall call and a trip whose ends are stamped an hour before their starts.
  const struct {
    double seconds;
    int channel, level;
  } changes[] = {{10, 1, 1},      {11, LiftChannels::kMotorUp, 1}, {-3590, LiftChannels::kMotorUp, 0},
                 {-3589, 1, 0},   {-3588, LiftChannels::kDoorOpenRelay, 1}, {-3580, LiftChannels::kDoorOpenRelay, 0},
                 {-3570, 2, 1},   {-3560, 2, 0}};
  for (const auto& c : changes) data.ApplyTransition(at(c.seconds), static_cast<uint8_t>(c.channel), static_cast<uint8_t>(c.level));
  clock.Set(at(60));
  data.SetCapture(false);
  LiftReport report;
  report.Compute(data, view.Sequence, LiftRoles(view.Traces.Table()));
  const Occurrences all = report.All();
  EXPECT_FALSE(all.empty());
  for (const Occurrence& o : all) {
    EXPECT_GE(o.seconds, 0.0) << OccurrenceKey(o.kind);
    EXPECT_TRUE(o.start >= report.Start() && o.start <= report.End()) << OccurrenceKey(o.kind);
  }
  for (const PlotPlan& p : ReportPlots(report)) {
    for (const PlotBar& b : p.bars) EXPECT_GE(b.y1, 0.0) << p.title;
  }
}

}  // namespace
}  // namespace korvalog
