#include "analysis/report_tables.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "analysis/report_csv.h"
#include "analysis/report_summary.h"
#include "base/date_time.h"

namespace korvalog {
namespace {

std::string Fixed(double v, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  return text;
}

std::string Count(size_t n) { return std::to_string(n); }

void Row(ReportTable& t, std::vector<std::string> cells, double from = -1, double to = -1) {
  t.rows.push_back(std::move(cells));
  t.rowFrom.push_back(from);
  t.rowTo.push_back(to);
}

// `missing` names the role a figure needs when no input has it.
std::string NotMeasured(const char* missing) { return std::string("not measured (no ") + missing + " role)"; }

void SummaryRow(ReportTable& t, const LiftReport& r, const std::string& what, const FigureSummary& s,
                const char* missing = nullptr) {
  if (missing != nullptr) {
    Row(t, {what, NotMeasured(missing), "", "", "", "", ""});
    return;
  }
  if (s.count == 0) {
    Row(t, {what, "0", "", "", "", "", ""});
    return;
  }
  Row(t, {what, Count(s.count), DurationText(s.mean), DurationText(s.median), DurationText(s.p95),
          DurationText(s.longest), MomentText(r, s.longestAt)},
      s.longestAt, s.longestAt + s.longest / kSecondsPerDay);
}

const char* Unless(bool has, const char* role) { return has ? nullptr : role; }

ReportTable SummaryTable(const char* title) {
  ReportTable t;
  t.title = title;
  t.columns = {"", "Count", "Mean", "Median", "95th pct", "Longest", "Longest at"};
  return t;
}

std::string Name(const TraceList& names, int ch) { return names.Name(ch); }

void BinTable(ReportTable& t, const std::vector<ReportBin>& bins, bool daily) {
  // Answered and not answered apart, so the mean wait is over the calls beside it.
  t.columns = {daily ? "Day" : "Hour", "Trips", "Calls answered", "Mean wait", "Not answered", "Car calls",
               "Door cycles", "Reopens", "Chatter"};
  for (const ReportBin& b : bins) {
    const double width = daily ? 1.0 : 1.0 / 24.0;
    Row(t,
        {daily ? DateText(b.start) : DateHourText(b.start), Count(b.trips), Count(b.hallWaitCount),
         b.hallWaitCount > 0 ? DurationText(b.hallWaitTotal / b.hallWaitCount) : "",
         Count(b.hallCalls - std::min(b.hallCalls, b.hallWaitCount)), Count(b.carCalls),
         Count(b.doorCycles), Count(b.reopens), Count(b.chatter)},
        b.start, b.start + width);
  }
}

ReportTable AvailabilityTable(const LiftReport& r) {
  ReportTable avail;
  avail.title = "Availability";
  avail.columns = {"", "Value"};
  const AvailabilityFigures& a = r.availability;
  if (!r.Measured(ReportFigure::Availability)) {
    Row(avail, {"Availability over the capture", r.NotMeasuredText(ReportFigure::Availability)});
    return avail;
  }
  Row(avail, {"Availability over the capture", Fixed(a.availabilityPercent, 2) + " %"});
  Row(avail, {"Shutdowns", Count(static_cast<size_t>(a.shutdowns))});
  Row(avail, {"Shut down in total", DurationText(a.shutdownSeconds)});
  Row(avail, {"Out of service in total", DurationText(a.outOfServiceSeconds)});
  const FigureSummary spells = Summarize(a.spells);
  if (spells.count > 0) {
    Row(avail, {"Longest out-of-service spell", DurationText(spells.longest) + " from " + MomentText(r, spells.longestAt)},
        spells.longestAt, spells.longestAt + spells.longest / kSecondsPerDay);
  }
  Row(avail, {"Mean time between shutdowns (time in service / shutdowns)",
              a.shutdowns > 0 ? DurationText(a.meanSecondsBetweenShutdowns) : "(no shutdown)"});
  if (r.Measured(ReportFigure::Alarms)) Row(avail, {"Alarm activations", Count(static_cast<size_t>(a.alarmActivations))});
  return avail;
}

// Door times, cycles and reopens.
ReportTable DoorsTable(const LiftReport& r) {
  const ChannelRoles& roles = r.Roles();
  const char* noDoor = Unless(roles.Has(ChannelRole::DoorOpenRelay) || roles.Has(ChannelRole::DoorCloseRelay),
                              "door relay");
  ReportTable doors = SummaryTable("Doors");
  SummaryRow(doors, r, "Opening time", r.Opening(), Unless(roles.Has(ChannelRole::DoorOpenLimit), "door open limit"));
  SummaryRow(doors, r, "Closing time", r.Closing(),
             Unless(roles.Has(ChannelRole::DoorClosedLimit), "door closed limit"));
  SummaryRow(doors, r, "Dwell (open to close command)", r.Dwell(), noDoor);
  Row(doors, {"Door cycles", noDoor ? NotMeasured(noDoor) : Count(r.doors.cycleStarts.size()), "", "", "", "", ""});
  Row(doors, {"Reopens during closing", noDoor ? NotMeasured(noDoor) : Count(r.doors.reopens.size()), "", "", "", "",
              ""});
  return doors;
}

// Run times, starts and short runs.
ReportTable TripsTable(const LiftReport& r) {
  const ChannelRoles& roles = r.Roles();
  const char* noMotor = Unless(roles.Has(ChannelRole::MotorUp) || roles.Has(ChannelRole::MotorDown) ||
                                   roles.Has(ChannelRole::MotorRun),
                               "motor");
  ReportTable trips = SummaryTable("Trips");
  SummaryRow(trips, r, "Run time, every trip", r.RunTimes(OccurrenceDetail::None), noMotor);
  SummaryRow(trips, r, "Run time up", r.RunTimes(OccurrenceDetail::Up), noMotor);
  SummaryRow(trips, r, "Run time down", r.RunTimes(OccurrenceDetail::Down), noMotor);
  Row(trips, {"Starts per hour", noMotor ? NotMeasured(noMotor) : Fixed(r.TripsPerHour(), 1), "", "", "", "", ""});
  Row(trips, {"Short runs (re-levelling, under " + Fixed(r.trips.shortRunSeconds, 1) + " s)",
              noMotor ? NotMeasured(noMotor) : Count(r.trips.shortRuns), "", "", "", "", ""});
  return trips;
}

// Waiting and service times of the calls.
ReportTable CallsTable(const LiftReport& r) {
  ReportTable calls;
  calls.title = "Calls";
  calls.columns = {"", "Count", "Mean", "Median", "90th pct", "95th pct", "Over 30 s", "Over 60 s", "Longest"};
  const ChannelRoles& roles = r.Roles();
  const char* noHall = Unless(roles.Has(ChannelRole::HallUp) || roles.Has(ChannelRole::HallDown), "hall-call");
  const char* noCar = Unless(roles.Has(ChannelRole::CarCall), "car-call");
  const auto callRow = [&calls](const std::string& what, const FigureSummary& s, const char* missing) {
    if (missing != nullptr) {
      Row(calls, {what, NotMeasured(missing), "", "", "", "", "", "", ""});
      return;
    }
    if (s.count == 0) {
      Row(calls, {what, "0", "", "", "", "", "", "", ""});
      return;
    }
    Row(calls, {what, Count(s.count), DurationText(s.mean), DurationText(s.median), DurationText(s.p90),
                DurationText(s.p95), Count(s.over30), Count(s.over60), DurationText(s.longest)},
        s.longestAt, s.longestAt + s.longest / kSecondsPerDay);
  };
  callRow("Hall-call waiting time", r.HallWaits(), noHall);
  callRow("Car-call service time", r.CarService(), noCar);
  Row(calls, {"Hall calls cancelled without the door opening",
              noHall ? NotMeasured(noHall) : Count(static_cast<size_t>(r.calls.cancelled)), "", "", "", "", "", "", ""});
  return calls;
}

// Each input's changes, chatter and stuck spells.
ReportTable HealthTable(const LiftReport& r, const TraceList& names) {
  ReportTable health;
  health.title = "Input health";
  health.columns = {"Ch", "Name", "Role", "Transitions", "Chatter", "Stuck on", "Longest on", "Busiest hour"};
  std::string never;
  for (int ch = 1; ch <= kChannelCount; ++ch) {
    const ChannelHealth& h = r.health.channels[ch - 1];
    const ChannelRoleEntry& role = r.Roles()[ch];
    if (h.neverChanged() && role.role == ChannelRole::None) {
      never += (never.empty() ? "" : ", ") + std::to_string(ch);
      continue;
    }
    std::string roleText(role.role == ChannelRole::None ? "" : RoleTitle(role.role));
    if (RoleHasFloor(role.role)) roleText += " (floor " + std::to_string(role.floor) + ")";
    const double hourStart = h.busiestHour >= 0 && !r.hours.empty() ? r.hours[0].start + h.busiestHour / 24.0 : -1;
    Row(health,
        {std::to_string(ch), Name(names, ch), roleText, h.neverChanged() ? "never changed" : Count(h.transitions),
         Count(h.chatter), Count(h.stuckSpells), h.longestOn > 0 ? DurationText(h.longestOn) : "",
         hourStart >= 0 ? DateHourText(hourStart) + " (" + Count(h.busiestCount) + ")" : ""},
        hourStart, hourStart >= 0 ? hourStart + 1.0 / 24.0 : -1);
  }
  if (!never.empty()) health.note = "Never changed, no role: channels " + never + ".";
  return health;
}

// The Sequencer's runs, those outside their limits first past `runRows`.
ReportTable SequenceRunsTable(const LiftReport& r, size_t runRows) {
  ReportTable seq;
  seq.title = "Sequencer runs";
  seq.columns = {"Run", "Start", "Step times from step 1 (s)", "Within limits"};
  // Weeks of runs are not formatted to be thrown away: past `runRows`, the
  // runs outside their limits come first, the rest in time order.
  const std::vector<SequenceRun>& runs = r.sequence.runs;
  std::vector<size_t> shown;
  size_t outside = 0;
  for (size_t i = 0; i < runs.size(); ++i) outside += runs[i].violation ? 1 : 0;
  for (int pass = 0; pass < 2 && shown.size() < runRows; ++pass) {
    for (size_t i = 0; i < runs.size() && shown.size() < runRows; ++i) {
      if (runs[i].violation == (pass == 0)) shown.push_back(i);
    }
  }
  std::sort(shown.begin(), shown.end());
  for (size_t i : shown) {
    const SequenceRun& run = runs[i];
    std::string steps;
    for (double s : run.stepSeconds) steps += (steps.empty() ? "" : "  ") + SecondsText(s);
    Row(seq, {Count(i + 1), DateText(run.start) + " " + ClockText(run.start), steps, run.violation ? "no" : "yes"},
        run.start, run.start + run.stepSeconds.back() / kSecondsPerDay);
  }
  if (shown.size() < runs.size()) {
    seq.note = Count(runs.size()) + " runs, " + Count(outside) + " outside their limits; shown are " +
               Count(shown.size()) + (outside > 0 ? ", those outside first" : "") +
               ". Every run is in the CSV (kind sequence_run).";
  }
  return seq;
}

}  // namespace

std::string DurationText(double seconds) {
  if (seconds < 60.0) return Fixed(seconds, 3) + " s";
  const int64_t whole = std::llround(seconds);
  char text[48];
  if (whole < 3600) {
    std::snprintf(text, sizeof text, "%lld min %02lld s", static_cast<long long>(whole / 60),
                  static_cast<long long>(whole % 60));
  } else {
    std::snprintf(text, sizeof text, "%lld h %02lld min", static_cast<long long>(whole / 3600),
                  static_cast<long long>(whole / 60 % 60));
  }
  return text;
}

std::string ClockText(double dateTime) {
  const DateTimeFields f = FieldsFromMs(DateTimeToMs(dateTime));
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", f.hour, f.minute, f.second);
  return text;
}

std::string DateText(double dateTime) {
  const DateTimeFields f = FieldsFromMs(DateTimeToMs(dateTime));
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", f.year, f.month, f.day);
  return text;
}

std::string DateHourText(double dateTime) {
  const DateTimeFields f = FieldsFromMs(DateTimeToMs(dateTime));
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:00", f.year, f.month, f.day, f.hour);
  return text;
}

std::vector<ReportTable> ReportTables(const LiftReport& r, const TraceList& names, size_t runRows) {
  std::vector<ReportTable> tables;
  tables.push_back(DoorsTable(r));
  tables.push_back(TripsTable(r));
  tables.push_back(CallsTable(r));
  tables.push_back(PerformanceTable(r));
  if (!r.floors.empty()) tables.push_back(FloorTable(r));
  tables.push_back(AvailabilityTable(r));
  if (r.availability.hasInput || !r.availability.log.empty()) tables.push_back(ShutdownTable(r));

  ReportTable hours;
  hours.title = "Per hour";
  BinTable(hours, r.hours, false);
  tables.push_back(std::move(hours));
  ReportTable days;
  days.title = "Per day";
  BinTable(days, r.days, true);
  tables.push_back(std::move(days));
  tables.push_back(HealthTable(r, names));
  tables.push_back(SequenceRunsTable(r, runRows));
  return tables;
}

std::vector<std::string> ReportNotes(const LiftReport& r) {
  std::vector<std::string> notes;
  if (!r.Roles().Any()) notes.push_back("No channel has a role: only the input health and the Sequencer runs are shown.");
  const int partial = r.doors.partialAtStart + r.trips.partialAtStart + r.calls.partialAtStart;
  if (partial > 0) {
    notes.push_back(std::to_string(partial) +
                    " door movement(s), trip(s) or call(s) already under way when the capture began are not counted.");
  }
  if (r.doors.openAtEnd) {
    notes.push_back("The door stood open at the end of the capture (since " + MomentText(r, r.doors.openSince) +
                    "); that dwell is not counted.");
  }
  if (r.trips.runningAtEnd) notes.push_back("The car was running when the capture ended; that trip is not counted.");
  if (r.calls.waitingAtEnd > 0) {
    notes.push_back(std::to_string(r.calls.waitingAtEnd) + " call(s) still registered at the end are not counted.");
  }
  if (r.availability.cutAtStart) notes.push_back("The lift was out of service when the capture began.");
  if (r.availability.cutAtEnd) notes.push_back("The lift was out of service when the capture ended.");
  if (r.ReopensInferred()) {
    notes.push_back("Reopens are inferred from the door relays' timing: an open command while the door was closing "
                    "(no door closed limit or reopen input).");
  }
  if (!r.Measured(ReportFigure::Availability) && r.Roles().Any()) {
    notes.push_back("No input has the out-of-service, fire-service or inspection role: availability and shutdowns "
                    "are not measured.");
  }
  if (r.sequence.Rows() == 0) notes.push_back("The Sequencer has no pattern: no runs to show.");
  if (!r.linkGaps.spans.empty()) {
    notes.push_back(std::to_string(r.linkGaps.spans.size()) + " link gap(s) to the logger took " +
                    DurationText(r.linkGaps.seconds) + " of the capture; " + std::to_string(r.linkGaps.leftOut) +
                    " figure(s) that span a gap are not counted.");
  }
  return notes;
}

}  // namespace korvalog
