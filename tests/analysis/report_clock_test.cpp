// The report and its plots where times are not what they should be.
#include <gtest/gtest.h>

#include <limits>

#include "analysis/lift_report.h"
#include "analysis/report_plots.h"
#include "app/demo_logger.h"

namespace korvalog {
namespace {

TEST(ReportPlots, HistogramBinsOnlyTimesItCanDraw) {
  constexpr double kNan = std::numeric_limits<double>::quiet_NaN(), kInf = std::numeric_limits<double>::infinity();
  Occurrences items;
  for (double s : {-86379.0, kNan, kInf, -kInf, 1e300, 0.0, 3.0, 7.0}) items.push_back({.start = 46091.5, .seconds = s});
  const PlotPlan p = HistogramPlot("waits", items);
  double counted = 0;
  for (const PlotBar& b : p.bars) counted += b.x0 >= p.xMin && b.x1 <= p.xMax ? b.y1 : 0;
  EXPECT_EQ(counted, 3);
  EXPECT_EQ(HistogramPlot("none", {}).bars.size(), 0u);
}

TEST(LiftReport, AClockSetBackWhileCapturingGivesNoNegativeFigure) {
  ManualClock clock(46091.5);
  CaptureData data(clock);
  CaptureView view;
  SetStartupDefaults(data, view);
  NameLiftChannels(view.Traces);
  data.SetCapture(true);
  // A call, a trip and a door whose ends are stamped an hour before their starts.
  const int changes[][3] = {{10, 1, 1}, {11, 15, 1}, {-3590, 15, 0}, {-3589, 1, 0}, {-3588, 13, 1}};
  for (const auto& c : changes) {
    data.ApplyTransition(46091.5 + c[0] / kSecondsPerDay, static_cast<uint8_t>(c[1]), static_cast<uint8_t>(c[2]));
  }
  clock.Set(46091.5 + 60 / kSecondsPerDay);
  data.SetCapture(false);
  LiftReport report;
  report.Compute(data, view.Sequence, LiftRoles(view.Traces.Table()));
  EXPECT_GE(report.All().size(), 2u);
  for (const Occurrence& o : report.All()) EXPECT_GE(o.seconds, 0.0) << OccurrenceKey(o.kind);
}

}  // namespace
}  // namespace korvalog
