#pragma once
// The report's plots as plain data: histograms of door and waiting times,
// per-hour (or per-day) bars, the availability timeline, the Sequencer step
// times over the capture and, over more than two days, the daily trend of
// the key figures. Each bar or point keeps the span of the capture it stands
// for; the frame maps plot values to pixels for every painter (screen, SVG,
// PDF) and finds what lies under a click. A plan holds at most what a plot's
// pixels can show: spells and runs closer than a column are drawn as one.
#include <string>
#include <vector>

#include "analysis/lift_report.h"

namespace korvalog {

enum class PlotKind { Histogram, HourBars, Timeline, Trend };

struct PlotBar {
  double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
  int series = 0;
  double zoomFrom = -1, zoomTo = -1;  // date-times
};

struct PlotPoint {
  double x = 0, y = 0;
  double yLow = -1;  // when 0 <= yLow < y: the lowest value of a column of runs
  double yMark = -1; // when >= 0: the column's mean, drawn as the point
  int series = 0;
  bool flagged = false;  // drawn as an outlier (a run outside its limits)
  double zoomFrom = -1, zoomTo = -1;
};

struct PlotPlan {
  PlotKind kind = PlotKind::Histogram;
  std::string title, xLabel, yLabel;
  bool timeAxis = false;  // x values are date-times
  bool joined = false;    // points of a series joined by lines
  std::string empty;      // when not empty: said in place of the axes ("not measured ...")
  double xMin = 0, xMax = 1, yMax = 1;
  std::vector<std::string> series;
  std::vector<PlotBar> bars;
  std::vector<PlotPoint> points;
};

// Pixels of the plot area inside a picture of width x height.
struct PlotFrame {
  int left = 0, top = 0, width = 1, height = 1;
  static PlotFrame For(int pictureWidth, int pictureHeight);
  double X(const PlotPlan& p, double x) const;
  double Y(const PlotPlan& p, double y) const;
};

// What a click at (px, py) in a picture of that size hits: a bar's or a
// point's zoom span. False when it hits nothing that leads anywhere.
bool HitPlot(const PlotPlan& plan, int pictureWidth, int pictureHeight, int px, int py, double& from, double& to);

// Columns a plan is binned to: more than a plot's width in pixels.
inline constexpr int kPlotColumns = 800;

// A step of 1, 2 or 5 times a power of ten giving at most `ticks` steps.
double NiceStep(double range, int ticks);

std::vector<PlotPlan> ReportPlots(const LiftReport& report);
// One histogram of durations in whole bins from 0, at most `maxBins`;
// negative or unknown durations are left out.
PlotPlan HistogramPlot(const std::string& title, const Occurrences& items, int maxBins = 20);
// The Sequencer's step times, binned to columns (lowest and highest per
// column and step), and the key figures day by day.
PlotPlan SequencePlot(const LiftReport& report);
PlotPlan DailyTrendPlot(const LiftReport& report);

}  // namespace korvalog
