// The plots over the length of the capture: the Sequencer's step times and
// the key figures day by day. Both bin to columns so that a capture of weeks
// draws no more than one of hours.
#include <algorithm>
#include <cmath>

#include "analysis/figure_summary.h"
#include "analysis/report_plots.h"

namespace korvalog {
namespace {

int ColumnOf(const PlotPlan& p, double x) {
  const double span = p.xMax > p.xMin ? p.xMax - p.xMin : 1.0;
  return std::clamp(static_cast<int>((x - p.xMin) / span * kPlotColumns), 0, kPlotColumns - 1);
}

}  // namespace

PlotPlan SequencePlot(const LiftReport& r) {
  PlotPlan p;
  p.kind = PlotKind::Trend;
  p.title = "Sequencer runs: each step from step 1";
  p.yLabel = "seconds";
  p.timeAxis = true;
  p.xMin = r.Start();
  p.xMax = r.End() > r.Start() ? r.End() : r.Start() + 1.0 / 24.0;
  const int steps = std::max(0, r.sequence.Rows() - 1);
  for (int s = 2; s <= r.sequence.Rows(); ++s) p.series.push_back("Step " + std::to_string(s));
  // One point per column and step: the highest value, down to the lowest.
  const size_t cells = static_cast<size_t>(kPlotColumns) * static_cast<size_t>(steps);
  std::vector<int32_t> cellPoint(cells, -1);
  std::vector<uint32_t> cellRuns;
  for (const SequenceRun& run : r.sequence.runs) {
    const int column = ColumnOf(p, run.start);
    const double end = run.start + (run.stepSeconds.empty() ? 0.0 : run.stepSeconds.back()) / kSecondsPerDay;
    for (size_t s = 1; s < run.stepSeconds.size() && static_cast<int>(s) <= steps; ++s) {
      if (!std::isfinite(run.stepSeconds[s])) continue;
      const double y = std::max(0.0, run.stepSeconds[s]);
      int32_t& at = cellPoint[static_cast<size_t>(column) * steps + (s - 1)];
      if (at < 0) {
        at = static_cast<int32_t>(p.points.size());
        PlotPoint pt;
        pt.x = run.start;
        pt.y = y;
        pt.yLow = y;
        pt.series = static_cast<int>(s) - 1;
        pt.zoomFrom = run.start;
        pt.zoomTo = end;
        pt.yMark = 0;
        p.points.push_back(pt);
        cellRuns.push_back(0);
      }
      PlotPoint& pt = p.points[static_cast<size_t>(at)];
      pt.yMark += y;  // a sum until the end
      ++cellRuns[static_cast<size_t>(at)];
      pt.y = std::max(pt.y, y);
      pt.yLow = std::min(pt.yLow, y);
      pt.zoomTo = std::max(pt.zoomTo, end);
      pt.flagged = pt.flagged || run.violation;
      p.yMax = std::max(p.yMax, y * 1.1);
    }
  }
  for (size_t i = 0; i < p.points.size(); ++i) p.points[i].yMark /= cellRuns[i];
  if (p.points.empty()) {
    p.empty = r.sequence.Rows() == 0 ? "not measured (the Sequencer has no pattern)" : "no complete run";
  }
  return p;
}

PlotPlan DailyTrendPlot(const LiftReport& r) {
  PlotPlan p;
  p.kind = PlotKind::Trend;
  p.joined = true;
  p.title = "Day by day";
  p.yLabel = "seconds";
  p.timeAxis = true;
  p.series = {"Mean hall wait", "95th pct hall wait", "Mean door closing"};
  p.xMin = r.Start();
  p.xMax = r.End() > r.Start() ? r.End() : r.Start() + 1.0;
  const size_t days = r.days.size();
  if (days == 0) return p;
  const double day0 = r.days.front().start;
  const auto dayOf = [&](double t) {
    if (!std::isfinite(t)) return size_t{0};
    return static_cast<size_t>(std::clamp(std::floor(t - day0), 0.0, static_cast<double>(days - 1)));
  };
  std::vector<std::vector<double>> waits(days), closings(days);
  for (const Occurrence& o : r.calls.hallWaits) {
    if (o.detail != OccurrenceDetail::Cancelled && std::isfinite(o.seconds) && o.seconds >= 0) {
      waits[dayOf(o.start)].push_back(o.seconds);
    }
  }
  for (const Occurrence& o : r.doors.closing) {
    if (std::isfinite(o.seconds) && o.seconds >= 0) closings[dayOf(o.start)].push_back(o.seconds);
  }
  for (size_t d = 0; d < days; ++d) {
    // Each day's point at its middle, within the capture.
    const double from = std::max(r.days[d].start, p.xMin), to = std::min(r.days[d].start + 1.0, p.xMax);
    const auto add = [&](int series, double y) {
      PlotPoint pt;
      pt.x = (from + to) / 2;
      pt.y = y;
      pt.series = series;
      pt.zoomFrom = from;
      pt.zoomTo = to;
      p.yMax = std::max(p.yMax, y * 1.1);
      p.points.push_back(pt);
    };
    if (!waits[d].empty()) {
      const FigureSummary s = SummarizeValues(waits[d]);
      add(0, s.mean);
      add(1, s.p95);
    }
    if (!closings[d].empty()) add(2, SummarizeValues(closings[d]).mean);
  }
  std::stable_sort(p.points.begin(), p.points.end(),
                   [](const PlotPoint& a, const PlotPoint& b) { return a.series < b.series; });
  if (p.points.empty()) p.empty = "not measured (no hall-call or door closed limit role)";
  return p;
}

}  // namespace korvalog
