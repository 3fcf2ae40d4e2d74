#pragma once
// The lift performance report over a whole capture: every family of figures
// from one pass over the events, the per-hour and per-day counts, the notes
// that say what was left out, and every measured occurrence in time order.
// Time the lift was shut down (out of service, fire service, inspection) is
// left out of the door, trip, call and stuck figures.
#include <string>
#include <vector>

#include "analysis/availability_figures.h"
#include "analysis/call_figures.h"
#include "analysis/door_figures.h"
#include "analysis/figure_summary.h"
#include "analysis/floor_figures.h"
#include "analysis/input_health.h"
#include "analysis/performance_figures.h"
#include "analysis/report_coverage.h"
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
  // A door opening that begins up to this long after a hall call's cancel
  // (the car stopped at a floor) answers the call; the end is included.
  double answerWindowSeconds = 5.0;
  // Without a closed limit or a reopen input: an open command up to this
  // long after the close command dropped is a reopen ...
  double reopenGapSeconds = 0.5;
  // ... when that close command had not been on for longer than this.
  double closingLongestSeconds = 10.0;
};

// Counts of one clock hour or one day, each row one count: the hall calls
// answered (the ones in the mean wait) apart from those cancelled.
struct ReportBin {
  double start = 0;  // date-time
  uint32_t trips = 0, hallCalls = 0, carCalls = 0, doorCycles = 0, reopens = 0, chatter = 0;
  double hallWaitTotal = 0;  // seconds, answered calls only
  uint32_t hallWaitCount = 0;  // the answered calls, as hallCalls
  uint32_t hallCallsCancelled = 0;
  uint32_t shutdowns = 0, alarms = 0;  // that began in the bin
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
  const ReportOptions& Options() const { return options_; }

  DoorFigures doors;
  TripFigures trips;
  CallFigures calls;
  AvailabilityFigures availability;
  InputHealth health;
  SequenceTrend sequence;
  PerformanceFigures performance;
  CarPosition position;
  std::vector<FloorFigures> floors;
  std::vector<ReportBin> hours, days;
  ReportGaps linkGaps;  // figures across a link gap are not counted

  // Which figures the roles allow, and on which roles the report rests.
  bool Measured(ReportFigure f) const { return korvalog::Measured(roles_, f); }
  std::string NotMeasuredText(ReportFigure f) const { return korvalog::NotMeasuredText(roles_, f); }
  std::vector<ChannelRole> RolesPresent() const { return korvalog::RolesPresent(roles_); }
  // Reopens come from the door relays' timing alone (no closed limit, no
  // reopen input): the page says they are inferred.
  bool ReopensInferred() const { return doors.reopensInferred && Measured(ReportFigure::Reopens); }

  // Summaries for the tables.
  FigureSummary Opening() const { return Summarize(doors.opening); }
  FigureSummary Closing() const { return Summarize(doors.closing); }
  FigureSummary Dwell() const { return Summarize(doors.dwell); }
  FigureSummary RunTimes(OccurrenceDetail direction) const;  // None = every trip
  FigureSummary HallWaits() const;                            // answered calls
  FigureSummary CarService() const { return Summarize(calls.carService); }
  FigureSummary StartDelay() const { return Summarize(trips.startDelays); }
  FigureSummary SingleFloorFlight() const { return performance.FlightTimes(1); }
  FigureSummary PerformanceTime() const { return performance.Times(); }
  // Rates over the time the lift was in service.
  double TripsPerHour() const;
  double TripsPerDay() const { return TripsPerHour() * 24.0; }
  double ReopensPer100Cycles() const;
  // Hall calls answered within 30 s and 60 s, in percent of the answered.
  double AnsweredWithin30Percent() const { return HallWaits().PercentWithin30(); }
  double AnsweredWithin60Percent() const { return HallWaits().PercentWithin60(); }

  // Every measured occurrence, in time order (kinds in their order at one time).
  Occurrences All() const;
  // What was left out or is worth saying, one sentence each.
  std::vector<std::string> Notes() const;

 private:
  void StartFigures(const SequenceTable& pattern, const uint8_t (&levels)[kChannelCount]);
  // Feeds every real change of the capture to the figures; `levels` ends
  // as the inputs' last states.
  void WalkChanges(const CaptureData& data, uint8_t (&levels)[kChannelCount], AnswerEvidence& evidence);
  // Closes the figures at the end, leaves out what shutdowns and link gaps
  // hid, and bins the rest.
  void FinishFigures(const CaptureData& data, AnswerEvidence& evidence);
  void Bin();
  void LeaveOutShutdowns();

  bool present_ = false;
  double start_ = 0, end_ = 0;
  ChannelRoles roles_;
  ReportOptions options_;
};

}  // namespace korvalog
