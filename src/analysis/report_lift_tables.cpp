// The report's tables of the lift's own speed, its landings and its
// shutdowns: performance time and its parts, flights by floors travelled,
// figures per floor and direction, and the shutdown log.
#include <cstdio>

#include "analysis/report_summary.h"
#include "analysis/report_tables.h"

namespace korvalog {
namespace {

void Row(ReportTable& t, std::vector<std::string> cells, double from = -1, double to = -1) {
  t.rows.push_back(std::move(cells));
  t.rowFrom.push_back(from);
  t.rowTo.push_back(to);
}

void SummaryRow(ReportTable& t, const LiftReport& r, const std::string& what, const FigureSummary& s,
                ReportFigure needs) {
  if (!r.Measured(needs)) {
    Row(t, {what, r.NotMeasuredText(needs), "", "", "", "", ""});
  } else if (s.count == 0) {
    Row(t, {what, "0", "", "", "", "", ""});
  } else {
    Row(t, {what, std::to_string(s.count), DurationText(s.mean), DurationText(s.median), DurationText(s.p95),
            DurationText(s.longest), MomentText(r, s.longestAt)},
        s.longestAt, s.longestAt + s.longest / kSecondsPerDay);
  }
}

// "12.3 s (4)": a landing's mean over its count.
std::string MeanOf(const FigureSummary& s) {
  return s.count > 0 ? DurationText(s.mean) + " (" + std::to_string(s.count) + ")" : "";
}

}  // namespace

ReportTable PerformanceTable(const LiftReport& r) {
  ReportTable t;
  t.title = "Performance time";
  t.columns = {"", "Count", "Mean", "Median", "95th pct", "Longest", "Longest at"};
  SummaryRow(t, r, "Door closing", r.Closing(), ReportFigure::DoorClosing);
  SummaryRow(t, r, "Start delay (door closed to motor run)", r.StartDelay(), ReportFigure::StartDelay);
  SummaryRow(t, r, "Single-floor flight", r.SingleFloorFlight(), ReportFigure::Flight);
  SummaryRow(t, r, "Door opening", r.Opening(), ReportFigure::DoorOpening);
  SummaryRow(t, r, "Performance time (one-floor journeys)", r.PerformanceTime(), ReportFigure::PerformanceTime);
  if (r.Measured(ReportFigure::Flight)) {
    for (int floors = 2; floors <= r.performance.MostFloors(); ++floors) {
      SummaryRow(t, r, "Flight over " + std::to_string(floors) + " floors", r.performance.FlightTimes(floors),
                 ReportFigure::Flight);
    }
  }
  t.note = "Performance time = door closing + start delay + single-floor flight + door opening, over the journeys "
           "of one floor whose four parts were all measured.";
  return t;
}

ReportTable FloorTable(const LiftReport& r) {
  ReportTable t;
  t.title = "Per floor";
  t.columns = {"Floor", "Wait up (calls)", "Wait down (calls)", "Not answered", "Opening", "Closing", "Dwell",
               "Reopens", "Door cycles"};
  for (const FloorFigures& f : r.floors) {
    Row(t, {std::to_string(f.floor), MeanOf(f.hallWaitUp), MeanOf(f.hallWaitDown),
            std::to_string(f.cancelledUp + f.cancelledDown), MeanOf(f.opening), MeanOf(f.closing), MeanOf(f.dwell),
            std::to_string(f.reopens), std::to_string(f.doorCycles)});
  }
  char known[96];
  std::snprintf(known, sizeof known, "The car's floor is known at %.0f %% of its stops", r.position.KnownPercent());
  t.note = r.Measured(ReportFigure::PerFloorDoors)
               ? std::string(known) + " (from the calls it answered and the floors each trip travelled)."
               : "Door figures by floor: " + r.NotMeasuredText(ReportFigure::PerFloorDoors) + ".";
  return t;
}

ReportTable ShutdownTable(const LiftReport& r) {
  ReportTable t;
  t.title = "Shutdown log";
  t.columns = {"Start", "End", "Length", "Cause"};
  for (const ShutdownEntry& e : r.availability.log) {
    const std::string start = e.cutAtStart ? "before the capture" : MomentText(r, e.start);
    const std::string end = e.cutAtEnd ? "after the capture" : MomentText(r, e.end);
    Row(t, {start, end, DurationText(e.seconds) + (e.cutAtStart || e.cutAtEnd ? " (in the capture)" : ""),
            std::string(ShutdownCauseText(e.cause))},
        e.start, e.end);
  }
  const AvailabilityFigures& a = r.availability;
  t.note = std::to_string(a.shutdowns) + " shutdown(s) began in the capture (overlapping causes count once), " +
           std::to_string(a.alarmActivations) + " alarm activation(s).";
  if (a.shutdowns > 0) {
    t.note += " Mean time between shutdowns = time in service / shutdowns = " + DurationText(a.inServiceSeconds) +
              " / " + std::to_string(a.shutdowns) + " = " + DurationText(a.meanSecondsBetweenShutdowns) + ".";
  }
  return t;
}

}  // namespace korvalog
