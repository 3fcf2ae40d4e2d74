#include "fleet/lift_days.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "analysis/figure_summary.h"
#include "analysis/report_summary.h"
#include "base/date_time.h"

namespace korvalog {
namespace {

int64_t DayOf(double dateTime) { return static_cast<int64_t>(std::floor(dateTime + 1e-9)); }

template <typename F>
void ForEachDay(std::vector<LiftDay>& days, int64_t first, double t, F add) {
  const int64_t i = DayOf(t) - first;
  if (i >= 0 && i < static_cast<int64_t>(days.size())) add(days[static_cast<size_t>(i)]);
}

}  // namespace

std::vector<LiftDay> SummarizeDays(const LiftReport& report) {
  std::vector<LiftDay> days;
  if (report.Empty() || !(report.End() >= report.Start())) return days;
  const int64_t first = DayOf(report.Start()), last = DayOf(report.End());
  std::string measured;
  const ReportSummary summary = SummarizeReport(report, {}, ReportTargets());
  for (const KeyFigureRow& row : summary.figures) measured += row.measured ? '1' : '0';
  for (int64_t d = first; d <= last && d - first < 100000; ++d) {
    LiftDay day;
    day.day = d;
    const double from = std::max(report.Start(), static_cast<double>(d));
    const double to = std::min(report.End(), static_cast<double>(d + 1));
    day.spanSeconds = std::max(0.0, (to - from) * kSecondsPerDay);
    day.inServiceSeconds = std::max(0.0, day.spanSeconds - report.availability.ShutdownSecondsWithin(from, to));
    day.measured = measured;
    days.push_back(std::move(day));
  }
  for (const Occurrence& o : report.trips.trips) ForEachDay(days, first, o.start, [](LiftDay& d) { ++d.trips; });
  for (double t : report.doors.cycleStarts) ForEachDay(days, first, t, [](LiftDay& d) { ++d.doorCycles; });
  for (const Occurrence& o : report.doors.reopens) ForEachDay(days, first, o.start, [](LiftDay& d) { ++d.reopens; });
  for (const Occurrence& o : report.doors.closing) {
    ForEachDay(days, first, o.start, [&](LiftDay& d) {
      ++d.closingCount;
      d.closingSeconds += o.seconds;
    });
  }
  for (const Occurrence& o : report.calls.hallWaits) {
    if (o.detail == OccurrenceDetail::Cancelled) continue;
    ForEachDay(days, first, o.start, [&](LiftDay& d) { d.hallWaits.push_back(o.seconds); });
  }
  for (double t : report.availability.shutdownStarts) ForEachDay(days, first, t, [](LiftDay& d) { ++d.shutdowns; });
  for (const Occurrence& o : report.health.chatter) {
    ForEachDay(days, first, o.start, [&](LiftDay& d) {
      if (std::find(d.chattering.begin(), d.chattering.end(), o.channel) == d.chattering.end()) {
        d.chattering.push_back(o.channel);
      }
    });
  }
  return days;
}

LiftFigures CombineDays(const std::vector<LiftDay>& days) {
  LiftFigures f;
  double inService = 0, closing = 0;
  uint64_t trips = 0, cycles = 0, reopens = 0, closings = 0, shutdowns = 0;
  std::vector<double> waits;
  std::set<int> chattering;
  for (const LiftDay& d : days) {
    f.spanSeconds += d.spanSeconds;
    inService += d.inServiceSeconds;
    trips += d.trips;
    cycles += d.doorCycles;
    reopens += d.reopens;
    closings += d.closingCount;
    closing += d.closingSeconds;
    shutdowns += d.shutdowns;
    waits.insert(waits.end(), d.hallWaits.begin(), d.hallWaits.end());
    chattering.insert(d.chattering.begin(), d.chattering.end());
    for (int i = 0; i < kKeyFigures && i < static_cast<int>(d.measured.size()); ++i) {
      f.measured[i] = f.measured[i] || d.measured[static_cast<size_t>(i)] == '1';
    }
  }
  const FigureSummary w = SummarizeValues(waits);
  auto set = [&](KeyFigure k, double v, bool has) {
    f.values[static_cast<int>(k)] = v;
    f.measured[static_cast<int>(k)] = f.measured[static_cast<int>(k)] && has;
  };
  set(KeyFigure::Availability, f.spanSeconds > 0 ? 100.0 * inService / f.spanSeconds : 100.0, true);
  set(KeyFigure::MeanWait, w.mean, w.count > 0);
  set(KeyFigure::P95Wait, w.p95, w.count > 0);
  set(KeyFigure::Within30, w.PercentWithin30(), w.count > 0);
  set(KeyFigure::Within60, w.PercentWithin60(), w.count > 0);
  set(KeyFigure::TripsPerDay, inService > 0 ? static_cast<double>(trips) * 86400.0 / inService : 0, inService > 0);
  set(KeyFigure::DoorClosing, closings > 0 ? closing / static_cast<double>(closings) : 0, closings > 0);
  set(KeyFigure::ReopensPer100, cycles > 0 ? 100.0 * static_cast<double>(reopens) / static_cast<double>(cycles) : 0,
      cycles > 0);
  set(KeyFigure::Shutdowns, static_cast<double>(shutdowns), true);
  f.chatteringInputs = static_cast<int>(chattering.size());
  return f;
}

}  // namespace korvalog
