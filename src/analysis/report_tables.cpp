#include "analysis/report_tables.h"

#include <cmath>
#include <cstdio>

#include "analysis/report_csv.h"
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

void SummaryRow(ReportTable& t, const std::string& what, const FigureSummary& s) {
  if (s.count == 0) {
    Row(t, {what, "0", "", "", "", "", ""});
    return;
  }
  Row(t, {what, Count(s.count), DurationText(s.mean), DurationText(s.median), DurationText(s.p95),
          DurationText(s.longest), ClockText(s.longestAt)},
      s.longestAt, s.longestAt + s.longest / kSecondsPerDay);
}

ReportTable SummaryTable(const char* title) {
  ReportTable t;
  t.title = title;
  t.columns = {"", "Count", "Mean", "Median", "95th pct", "Longest", "Longest at"};
  return t;
}

std::string Name(const TraceList& names, int ch) { return names.Name(ch); }

void BinTable(ReportTable& t, const std::vector<ReportBin>& bins, bool daily) {
  t.columns = {daily ? "Day" : "Hour", "Trips", "Hall calls", "Mean wait", "Car calls", "Door cycles", "Reopens",
               "Chatter"};
  for (const ReportBin& b : bins) {
    const double width = daily ? 1.0 : 1.0 / 24.0;
    Row(t,
        {daily ? DateText(b.start) : DateHourText(b.start), Count(b.trips), Count(b.hallCalls),
         b.hallWaitCount > 0 ? DurationText(b.hallWaitTotal / b.hallWaitCount) : "", Count(b.carCalls),
         Count(b.doorCycles), Count(b.reopens), Count(b.chatter)},
        b.start, b.start + width);
  }
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

std::vector<ReportTable> ReportTables(const LiftReport& r, const TraceList& names) {
  std::vector<ReportTable> tables;

  ReportTable doors = SummaryTable("Doors");
  SummaryRow(doors, "Opening time", r.Opening());
  SummaryRow(doors, "Closing time", r.Closing());
  SummaryRow(doors, "Dwell (open to close command)", r.Dwell());
  Row(doors, {"Door cycles", Count(r.doors.cycleStarts.size()), "", "", "", "", ""});
  Row(doors, {"Reopens during closing", Count(r.doors.reopens.size()), "", "", "", "", ""});
  tables.push_back(std::move(doors));

  ReportTable trips = SummaryTable("Trips");
  SummaryRow(trips, "Run time, every trip", r.RunTimes(OccurrenceDetail::None));
  SummaryRow(trips, "Run time up", r.RunTimes(OccurrenceDetail::Up));
  SummaryRow(trips, "Run time down", r.RunTimes(OccurrenceDetail::Down));
  Row(trips, {"Starts per hour", Fixed(r.TripsPerHour(), 1), "", "", "", "", ""});
  Row(trips, {"Short runs (re-levelling, under " + Fixed(r.trips.shortRunSeconds, 1) + " s)", Count(r.trips.shortRuns),
              "", "", "", "", ""});
  tables.push_back(std::move(trips));

  ReportTable calls;
  calls.title = "Calls";
  calls.columns = {"", "Count", "Mean", "Median", "90th pct", "95th pct", "Over 30 s", "Over 60 s", "Longest"};
  const auto callRow = [&calls](const std::string& what, const FigureSummary& s) {
    if (s.count == 0) {
      Row(calls, {what, "0", "", "", "", "", "", "", ""});
      return;
    }
    Row(calls, {what, Count(s.count), DurationText(s.mean), DurationText(s.median), DurationText(s.p90),
                DurationText(s.p95), Count(s.over30), Count(s.over60), DurationText(s.longest)},
        s.longestAt, s.longestAt + s.longest / kSecondsPerDay);
  };
  callRow("Hall-call waiting time", r.HallWaits());
  callRow("Car-call service time", r.CarService());
  Row(calls, {"Hall calls cancelled without the door opening", Count(static_cast<size_t>(r.calls.cancelled)), "", "",
              "", "", "", "", ""});
  tables.push_back(std::move(calls));

  ReportTable avail;
  avail.title = "Availability";
  avail.columns = {"", "Value"};
  const AvailabilityFigures& a = r.availability;
  Row(avail, {"Availability over the capture", Fixed(a.availabilityPercent, 2) + " %"});
  Row(avail, {"Out-of-service spells", Count(a.spells.size())});
  Row(avail, {"Out of service in total", DurationText(a.outOfServiceSeconds)});
  const FigureSummary spells = Summarize(a.spells);
  if (spells.count > 0) {
    Row(avail, {"Longest spell", DurationText(spells.longest) + " from " + ClockText(spells.longestAt)},
        spells.longestAt, spells.longestAt + spells.longest / kSecondsPerDay);
  }
  Row(avail, {"Mean time between shutdowns",
              a.spells.size() >= 2 ? DurationText(a.meanSecondsBetweenShutdowns) : "(fewer than two spells)"});
  tables.push_back(std::move(avail));

  ReportTable hours;
  hours.title = "Per hour";
  BinTable(hours, r.hours, false);
  tables.push_back(std::move(hours));
  ReportTable days;
  days.title = "Per day";
  BinTable(days, r.days, true);
  tables.push_back(std::move(days));

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
  tables.push_back(std::move(health));

  ReportTable seq;
  seq.title = "Sequencer runs";
  seq.columns = {"Run", "Start", "Step times from step 1 (s)", "Within limits"};
  for (size_t i = 0; i < r.sequence.runs.size(); ++i) {
    const SequenceRun& run = r.sequence.runs[i];
    std::string steps;
    for (double s : run.stepSeconds) steps += (steps.empty() ? "" : "  ") + SecondsText(s);
    Row(seq, {Count(i + 1), DateText(run.start) + " " + ClockText(run.start), steps, run.violation ? "no" : "yes"},
        run.start, run.start + run.stepSeconds.back() / kSecondsPerDay);
  }
  tables.push_back(std::move(seq));
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
    notes.push_back("The door stood open at the end of the capture (since " + ClockText(r.doors.openSince) +
                    "); that dwell is not counted.");
  }
  if (r.trips.runningAtEnd) notes.push_back("The car was running when the capture ended; that trip is not counted.");
  if (r.calls.waitingAtEnd > 0) {
    notes.push_back(std::to_string(r.calls.waitingAtEnd) + " call(s) still registered at the end are not counted.");
  }
  if (r.availability.cutAtStart) notes.push_back("The lift was out of service when the capture began.");
  if (r.availability.cutAtEnd) notes.push_back("The lift was out of service when the capture ended.");
  if (!r.availability.hasInput && r.Roles().Any()) {
    notes.push_back("No input has the out-of-service role: availability is taken as 100 %.");
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
