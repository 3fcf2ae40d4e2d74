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
  if (!plan.empty.empty()) return false;
  const PlotFrame f = PlotFrame::For(w, h);
  // Points first: they sit on top.
  double best = 7.0 * 7.0;
  const PlotPoint* hit = nullptr;
  for (const PlotPoint& p : plan.points) {
    // A column of runs reaches from its highest value down to its lowest.
    const double top = f.Y(plan, p.y), bottom = p.yLow >= 0 && p.yLow < p.y ? f.Y(plan, p.yLow) : top;
    const double dx = f.X(plan, p.x) - px, dy = py < top ? top - py : (py > bottom ? py - bottom : 0.0);
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
  bool any = false;
  for (const Occurrence& o : items) {
    if (!binned(o.seconds)) continue;
    longest = std::max(longest, o.seconds);
    any = true;
  }
  if (!any) p.empty = "nothing measured";
  const double width = NiceStep(longest > 0 ? longest : 1.0, maxBins);
  const int bins = std::clamp(static_cast<int>(std::floor(longest / width)) + 1, 1, maxBins + 1);
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

namespace {

// "not measured (no door closed limit role)" when the roles do not allow it.
void SayWhyEmpty(PlotPlan& p, const LiftReport& r, ReportFigure needs) {
  if (!p.bars.empty() || !p.points.empty()) return;
  p.empty = r.Measured(needs) ? "nothing measured" : r.NotMeasuredText(needs);
}

// Trips, answered hall calls and door cycles per clock hour (per day over
// more than two days), three bars side by side inside the part of each bin
// that lies in the capture.
PlotPlan CountBars(const LiftReport& r) {
  const bool daily = r.hours.size() > 48;
  const std::vector<ReportBin>& bins = daily ? r.days : r.hours;
  const double width = daily ? 1.0 : kHour;
  PlotPlan p;
  p.kind = PlotKind::HourBars;
  p.title = daily ? "Per day" : "Per hour";
  p.yLabel = "count";
  p.timeAxis = true;
  p.series = {"Trips", "Hall calls answered", "Door cycles"};
  p.xMin = r.Start();
  p.xMax = r.End() > r.Start() ? r.End() : r.Start() + kHour;
  for (const ReportBin& b : bins) {
    const double from = std::max(b.start, p.xMin), to = std::min(b.start + width, p.xMax);
    if (!(to > from)) continue;
    const uint32_t values[3] = {b.trips, b.hallWaitCount, b.doorCycles};
    for (int s = 0; s < 3; ++s) {
      if (values[s] == 0) continue;
      PlotBar bar;
      bar.x0 = from + (to - from) * (0.1 + 0.8 * s / 3.0);
      bar.x1 = from + (to - from) * (0.1 + 0.8 * (s + 1) / 3.0);
      bar.y1 = values[s];
      bar.series = s;
      bar.zoomFrom = from;
      bar.zoomTo = to;
      p.yMax = std::max(p.yMax, bar.y1);
      p.bars.push_back(bar);
    }
  }
  if (p.bars.empty()) p.empty = r.Roles().Any() ? "no trips, calls or door cycles" : "not measured (no roles)";
  return p;
}

// Spells closer together than a column are drawn as one.
PlotPlan AvailabilityTimeline(const LiftReport& r) {
  PlotPlan p;
  p.kind = PlotKind::Timeline;
  p.title = "Availability: shutdowns (out of service, fire service, inspection)";
  p.timeAxis = true;
  p.series = {"Shut down"};
  p.xMin = r.Start();
  p.xMax = r.End() > r.Start() ? r.End() : r.Start() + kHour;
  const double column = (p.xMax - p.xMin) / kPlotColumns;
  for (const ShutdownEntry& e : r.availability.log) {
    if (e.cause == ShutdownCause::Alarm) continue;  // the lift still runs
    const double x0 = std::max(e.start, p.xMin), x1 = std::max(x0, std::min(e.end, p.xMax));
    if (!p.bars.empty() && x0 - p.bars.back().x1 < column) {
      PlotBar& last = p.bars.back();
      last.x1 = std::max(last.x1, x1);
      last.zoomTo = std::min(r.End(), last.x1 + Pad(last.x1 - last.x0));
      continue;
    }
    PlotBar bar;
    bar.x0 = x0;
    bar.x1 = x1;
    bar.y1 = 1;
    const double pad = Pad(x1 - x0);
    bar.zoomFrom = std::max(r.Start(), x0 - pad);
    bar.zoomTo = std::min(r.End(), x1 + pad);
    p.bars.push_back(bar);
  }
  if (p.bars.empty()) {
    p.empty = r.Measured(ReportFigure::Availability) ? "in service throughout the capture"
                                                     : r.NotMeasuredText(ReportFigure::Availability);
  }
  return p;
}

}  // namespace

std::vector<PlotPlan> ReportPlots(const LiftReport& r) {
  std::vector<PlotPlan> plots;
  plots.push_back(HistogramPlot("Door closing time", r.doors.closing));
  SayWhyEmpty(plots.back(), r, ReportFigure::DoorClosing);
  plots.push_back(HistogramPlot("Door opening time", r.doors.opening));
  SayWhyEmpty(plots.back(), r, ReportFigure::DoorOpening);
  Occurrences answered;
  for (const Occurrence& o : r.calls.hallWaits) {
    if (o.detail != OccurrenceDetail::Cancelled) answered.push_back(o);
  }
  plots.push_back(HistogramPlot("Hall-call waiting time", answered));
  SayWhyEmpty(plots.back(), r, ReportFigure::HallWaits);
  plots.push_back(CountBars(r));
  plots.push_back(AvailabilityTimeline(r));
  plots.push_back(SequencePlot(r));
  if (r.SpanSeconds() > 2 * kSecondsPerDay) plots.push_back(DailyTrendPlot(r));
  return plots;
}

}  // namespace korvalog
