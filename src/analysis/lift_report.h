#pragma once
// The lift performance report over a whole capture: every family of figures
// from one pass over the events, the per-hour and per-day counts, the notes
// that say what was left out, and every measured occurrence in time order.
#include <string>
#include <vector>

#include "analysis/availability_figures.h"
#include "analysis/call_figures.h"
#include "analysis/door_figures.h"
#include "analysis/figure_summary.h"
#include "analysis/input_health.h"
#include "analysis/report_gaps.h"
#include "analysis/sequence_trend.h"
#include "analysis/trip_figures.h"
#include "core/capture_data.h"
#include "core/channel_roles.h"

namespace korvalog {

struct ReportOptions {
  double chatterSeconds = 0.05;  // a level held shorter is chatter
  double stuckSeconds = 600;     // an input on longer is stuck
  double shortRunSeconds = 2.0;  // a run shorter re-levels the car
};

// Counts of one clock hour or one day.
struct ReportBin {
  double start = 0;  // date-time
  uint32_t trips = 0, hallCalls = 0, carCalls = 0, doorCycles = 0, reopens = 0, chatter = 0;
  double hallWaitTotal = 0;  // seconds, answered calls only
  uint32_t hallWaitCount = 0;
};

class LiftReport {
 public:
  void Compute(const CaptureData& data, const SequenceTable& pattern, const ChannelRoles& roles,
               const ReportOptions& options = {});

  bool Empty() const { return !present_; }
  double Start() const { return start_; }
  double End() const { return end_; }
  double SpanSeconds() const { return SecondsBetween(start_, end_); }
  const ChannelRoles& Roles() const { return roles_; }

  DoorFigures doors;
  TripFigures trips;
  CallFigures calls;
  AvailabilityFigures availability;
  InputHealth health;
  SequenceTrend sequence;
  std::vector<ReportBin> hours, days;
  ReportGaps linkGaps;  // figures across a link gap are not counted

  // Summaries for the tables.
  FigureSummary Opening() const { return Summarize(doors.opening); }
  FigureSummary Closing() const { return Summarize(doors.closing); }
  FigureSummary Dwell() const { return Summarize(doors.dwell); }
  FigureSummary RunTimes(OccurrenceDetail direction) const;  // None = every trip
  FigureSummary HallWaits() const;                            // answered calls
  FigureSummary CarService() const { return Summarize(calls.carService); }
  double TripsPerHour() const;

  // Every measured occurrence, in time order (kinds in their order at one time).
  Occurrences All() const;
  // What was left out or is worth saying, one sentence each.
  std::vector<std::string> Notes() const;

 private:
  void Bin();

  bool present_ = false;
  double start_ = 0, end_ = 0;
  ChannelRoles roles_;
};

}  // namespace korvalog
