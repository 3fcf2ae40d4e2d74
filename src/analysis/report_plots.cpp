#include "analysis/report_plots.h"

#include <algorithm>
#include <cmath>

namespace korvalog {
namespace {

constexpr double kHour = 1.0 / 24.0;

double Pad(double days) { return days * 0.25 > 30.0 / kSecondsPerDay ? days * 0.25 : 30.0 / kSecondsPerDay; }

}  // namespace

PlotFrame PlotFrame::For(int w, int h) {
  PlotFrame f;
  f.left = 58;
  f.top = 28;
  f.width = std::max(1, w - f.left - 14);
  f.height = std::max(1, h - f.top - 40);
  return f;
}

double PlotFrame::X(const PlotPlan& p, double x) const {
  const double span = p.xMax > p.xMin ? p.xMax - p.xMin : 1.0;
  return left + (x - p.xMin) / span * width;
}

double PlotFrame::Y(const PlotPlan& p, double y) const {
  const double top = p.yMax > 0 ? p.yMax : 1.0;
  return this->top + height - y / top * height;
}

double NiceStep(double range, int ticks) {
  if (!(range > 0) || ticks < 1) return 1.0;
  const double raw = range / ticks;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0, 10.0}) {
    if (m * power >= raw) return m * power;
  }
  return 10.0 * power;
}

bool HitPlot(const PlotPlan& plan, int w, int h, int px, int py, double& from, double& to) {
  const PlotFrame f = PlotFrame::For(w, h);
  // Points first: they sit on top.
  double best = 7.0 * 7.0;
  const PlotPoint* hit = nullptr;
  for (const PlotPoint& p : plan.points) {
    const double dx = f.X(plan, p.x) - px, dy = f.Y(plan, p.y) - py;
    if (dx * dx + dy * dy <= best) {
      best = dx * dx + dy * dy;
      hit = &p;
    }
  }
  if (hit != nullptr && hit->zoomFrom >= 0) {
    from = hit->zoomFrom;
    to = hit->zoomTo;
    return true;
  }
  if (py < f.top || py > f.top + f.height) return false;
  for (const PlotBar& b : plan.bars) {
    double x0 = f.X(plan, b.x0), x1 = f.X(plan, b.x1);
    if (x1 - x0 < 3) {  // a thin spell stays clickable
      x0 -= 2;
      x1 += 2;
    }
    if (px >= x0 && px <= x1 && b.zoomFrom >= 0) {
      from = b.zoomFrom;
      to = b.zoomTo;
      return true;
    }
  }
  return false;
}

PlotPlan HistogramPlot(const std::string& title, const Occurrences& items, int maxBins) {
  PlotPlan p;
  p.kind = PlotKind::Histogram;
  p.title = title;
  p.xLabel = "seconds";
  p.yLabel = "count";
  p.series = {title};
  // Only a finite time from 0 to a bound has a bin: a clock that went back
  // or a broken figure must not index outside the bins.
  const auto binned = [](double s) { return std::isfinite(s) && s >= 0 && s <= 1e15; };
  maxBins = std::clamp(maxBins, 1, 1000);
  double longest = 0;
  for (const Occurrence& o : items) {
    if (binned(o.seconds)) longest = std::max(longest, o.seconds);
  }
  const double width = NiceStep(longest > 0 ? longest : 1.0, maxBins);
  const int bins = std::max(1, static_cast<int>(std::floor(longest / width)) + 1);
  std::vector<PlotBar> bars(static_cast<size_t>(bins));
  std::vector<double> longestIn(static_cast<size_t>(bins), -1);
  for (int i = 0; i < bins; ++i) {
    bars[i].x0 = i * width;
    bars[i].x1 = (i + 1) * width;
  }
  for (const Occurrence& o : items) {
    if (!binned(o.seconds)) continue;
    const int i = std::clamp(static_cast<int>(std::floor(o.seconds / width)), 0, bins - 1);
    PlotBar& b = bars[i];
    b.y1 += 1;
    // A click on the bar goes to its longest occurrence: the outlier.
    if (o.seconds > longestIn[i]) {
      longestIn[i] = o.seconds;
      b.zoomFrom = o.start;
      b.zoomTo = o.start + o.seconds / kSecondsPerDay;
    }
  }
  p.xMin = 0;
  p.xMax = bins * width;
  for (const PlotBar& b : bars) p.yMax = std::max(p.yMax, b.y1);
  for (PlotBar& b : bars) {
    if (b.y1 > 0) p.bars.push_back(b);
  }
  return p;
}

std::vector<PlotPlan> ReportPlots(const LiftReport& r) {
  std::vector<PlotPlan> plots;
  plots.push_back(HistogramPlot("Door closing time", r.doors.closing));
  plots.push_back(HistogramPlot("Door opening time", r.doors.opening));
  Occurrences answered;
  for (const Occurrence& o : r.calls.hallWaits) {
    if (o.detail != OccurrenceDetail::Cancelled) answered.push_back(o);
  }
  plots.push_back(HistogramPlot("Hall-call waiting time", answered));

  PlotPlan hours;
  hours.kind = PlotKind::HourBars;
  hours.title = "Per hour";
  hours.yLabel = "count";
  hours.timeAxis = true;
  hours.series = {"Trips", "Hall calls", "Door cycles"};
  if (!r.hours.empty()) {
    hours.xMin = r.hours.front().start;
    hours.xMax = r.hours.back().start + kHour;
  }
  for (const ReportBin& b : r.hours) {
    const uint32_t values[3] = {b.trips, b.hallCalls, b.doorCycles};
    for (int s = 0; s < 3; ++s) {
      PlotBar bar;
      bar.x0 = b.start + kHour * (0.1 + 0.8 * s / 3.0);
      bar.x1 = b.start + kHour * (0.1 + 0.8 * (s + 1) / 3.0);
      bar.y1 = values[s];
      bar.series = s;
      bar.zoomFrom = std::max(b.start, r.Start());
      bar.zoomTo = std::min(b.start + kHour, r.End());
      hours.yMax = std::max(hours.yMax, bar.y1);
      hours.bars.push_back(bar);
    }
  }
  plots.push_back(std::move(hours));

  PlotPlan timeline;
  timeline.kind = PlotKind::Timeline;
  timeline.title = "Availability: out-of-service spells";
  timeline.timeAxis = true;
  timeline.series = {"Out of service"};
  timeline.xMin = r.Start();
  timeline.xMax = r.End() > r.Start() ? r.End() : r.Start() + kHour;
  for (const Occurrence& o : r.availability.spells) {
    PlotBar bar;
    bar.x0 = o.start;
    bar.x1 = o.start + o.seconds / kSecondsPerDay;
    bar.y1 = 1;
    const double pad = Pad(bar.x1 - bar.x0);
    bar.zoomFrom = std::max(r.Start(), bar.x0 - pad);
    bar.zoomTo = std::min(r.End(), bar.x1 + pad);
    timeline.bars.push_back(bar);
  }
  plots.push_back(std::move(timeline));

  PlotPlan trend;
  trend.kind = PlotKind::Trend;
  trend.title = "Sequencer runs: each step from step 1";
  trend.yLabel = "seconds";
  trend.timeAxis = true;
  trend.xMin = r.Start();
  trend.xMax = timeline.xMax;
  for (int s = 2; s <= r.sequence.Rows(); ++s) trend.series.push_back("Step " + std::to_string(s));
  for (const SequenceRun& run : r.sequence.runs) {
    for (size_t s = 1; s < run.stepSeconds.size(); ++s) {
      if (!std::isfinite(run.stepSeconds[s])) continue;
      PlotPoint pt;
      pt.x = run.start;
      pt.y = run.stepSeconds[s];
      pt.series = static_cast<int>(s) - 1;
      pt.flagged = run.violation;
      pt.zoomFrom = run.start;
      pt.zoomTo = run.start + run.stepSeconds.back() / kSecondsPerDay;
      trend.yMax = std::max(trend.yMax, pt.y * 1.1);
      trend.points.push_back(pt);
    }
  }
  plots.push_back(std::move(trend));
  return plots;
}

}  // namespace korvalog
