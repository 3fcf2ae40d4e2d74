#include "analysis/report_summary.h"

#include <algorithm>
#include <cstdio>

#include "analysis/report_tables.h"
#include "base/date_time.h"

namespace korvalog {
namespace {

bool MultiDay(const LiftReport& r) { return DateText(r.Start()) != DateText(r.End()); }

std::string DayText(double t) {
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  const DateTimeFields f = FieldsFromMs(DateTimeToMs(t));
  const int64_t day = static_cast<int64_t>(DaysFromCivil(f.year, f.month, f.day));
  char text[40];
  // Day 0 of the date-time scale (30 December 1899) was a Saturday.
  std::snprintf(text, sizeof text, "%s %02d/%02d/%04d", kDays[((day % 7) + 7 + 6) % 7], f.day, f.month, f.year);
  return text;
}

std::string Plural(size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

struct Measure {
  bool ok;
  double value;
  std::string basis, missing;  // missing: "not measured (no ... role)"
};

std::string FixedText(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}

// Roles, in their order, with how many inputs carry each.
std::string RolesText(const LiftReport& r) {
  std::string text;
  int counts[kRoleCount] = {};
  for (int ch = 1; ch <= kChannelCount; ++ch) ++counts[static_cast<int>(r.Roles()[ch].role)];
  for (int i = 1; i < kRoleCount; ++i) {
    if (counts[i] == 0) continue;
    if (!text.empty()) text += ", ";
    text += std::string(RoleTitle(static_cast<ChannelRole>(i)));
    if (counts[i] > 1) text += " \xC3\x97" + std::to_string(counts[i]);  // ×n
  }
  return text.empty() ? "none: no input has a role yet" : text;
}

// A key figure's value and basis; `rests` becomes the report figure it
// rests on, for its roles. `waits` and `closing` are the report's summaries.
Measure MeasureOf(const LiftReport& r, KeyFigure f, const FigureSummary& waits, const FigureSummary& closing,
                  ReportFigure& rests) {
  const size_t cycles = r.doors.cycleStarts.size();
  const AvailabilityFigures& a = r.availability;
  const std::string inService = DurationText(a.inServiceSeconds) + " in service";
  rests = ReportFigure::HallWaits;
  Measure m{false, 0, "", ""};
  switch (f) {
    case KeyFigure::Availability:
      rests = ReportFigure::Availability;
      m = {true, a.availabilityPercent, "over " + DurationText(r.SpanSeconds()), ""};
      break;
    case KeyFigure::MeanWait:
    case KeyFigure::P95Wait:
    case KeyFigure::Within30:
    case KeyFigure::Within60:
      m = {waits.count > 0,
           f == KeyFigure::MeanWait  ? waits.mean
           : f == KeyFigure::P95Wait ? waits.p95
           : f == KeyFigure::Within30 ? waits.PercentWithin30()
                                      : waits.PercentWithin60(),
           waits.count > 0 ? Plural(waits.count, "answered hall call", "answered hall calls")
                           : "no hall call was answered",
           ""};
      break;
    case KeyFigure::TripsPerDay:
      rests = ReportFigure::Trips;
      m = {a.inServiceSeconds > 0, r.TripsPerDay(), Plural(r.trips.trips.size(), "trip", "trips") + " in " + inService,
           ""};
      break;
    case KeyFigure::DoorClosing:
      rests = ReportFigure::DoorClosing;
      m = {closing.count > 0, closing.mean,
           closing.count > 0 ? Plural(closing.count, "closing", "closings") : "no door closing was seen", ""};
      break;
    case KeyFigure::ReopensPer100:
      rests = ReportFigure::Reopens;
      m = {cycles > 0, r.ReopensPer100Cycles(),
           cycles > 0 ? Plural(r.doors.reopens.size(), "reopen", "reopens") + " in " +
                            Plural(cycles, "door cycle", "door cycles") +
                            (r.ReopensInferred() ? ", inferred from the door relays" : "")
                      : "no door cycle was seen",
           ""};
      break;
    case KeyFigure::Shutdowns:
      rests = ReportFigure::Availability;
      m = {true, static_cast<double>(a.shutdowns),
           "over " + DurationText(r.SpanSeconds()) +
               (r.Measured(ReportFigure::Alarms)
                    ? "; " + Plural(static_cast<size_t>(a.alarmActivations), "alarm activation", "alarm activations")
                    : ""),
           ""};
      break;
  }
  return m;
}

// One entry per missing role: "no hall-call role (Mean hall-call wait, ...)".
void NoteNotMeasured(const std::string& missing, const std::string& title, std::vector<std::string>& notMeasured) {
  const std::string head = missing.substr(missing.find('(') + 1, missing.size() - missing.find('(') - 2) + " (";
  auto same = std::find_if(notMeasured.begin(), notMeasured.end(),
                           [&](const std::string& e) { return e.rfind(head, 0) == 0; });
  if (same == notMeasured.end()) {
    notMeasured.push_back(head + title + ")");
  } else {
    same->insert(same->size() - 1, ", " + title);
  }
}

std::string VerdictLine(const std::vector<KeyFigureRow>& figures) {
  int judged = 0, poor = 0;
  std::string poorNames;
  for (const KeyFigureRow& row : figures) {
    if (row.verdict == Verdict::None) continue;
    ++judged;
    if (row.verdict == Verdict::Poor) {
      ++poor;
      poorNames += (poorNames.empty() ? "" : ", ") + row.title;
    }
  }
  if (judged == 0) return "No key figure could be judged: the inputs the figures need have no role.";
  if (poor == 0) return "All " + std::to_string(judged) + " judged figures meet at least their acceptable target.";
  return std::to_string(poor) + " of " + std::to_string(judged) + " judged figures are poor: " + poorNames + ".";
}

std::vector<std::string> Definitions(const LiftReport& r) {
  return {
      "A hall call is answered when a door opening began at a floor the car stood at, from 1 s before to " +
          FixedText(r.Options().answerWindowSeconds) + " s after the call was cancelled.",
      "Availability: the share of the capture the lift was not shut down (out of service, fire service or "
      "inspection).",
      "Hall-call wait: from the call's registration until the controller cancels it as the car answers; "
      "percentiles by nearest rank.",
      "Door closing time: from the close command to the door closed limit.",
      "Reopens per 100 door cycles: door openings that came while the door was closing.",
      "Trips per day: over the time the lift was in service.",
      "Shutdowns: periods out of service, on fire service or on inspection that began in the capture (overlapping "
      "causes count once). Mean time between shutdowns = time in service / number of shutdowns.",
    };
}

}  // namespace

std::string MomentText(const LiftReport& r, double t) {
  if (!MultiDay(r)) return ClockText(t);
  const DateTimeFields f = FieldsFromMs(DateTimeToMs(t));
  char text[16];
  std::snprintf(text, sizeof text, "%02d/%02d ", f.day, f.month);
  return text + ClockText(t);
}

ReportSummary SummarizeReport(const LiftReport& r, const SiteDetails& site, const ReportTargets& targets) {
  ReportSummary s;
  s.site = site;
  if (r.Empty()) {
    s.spanText = "No capture";
  } else {
    s.spanText = DayText(r.Start()) + " " + ClockText(r.Start()) + " to " + DayText(r.End()) + " " +
                 ClockText(r.End()) + " (" + DurationText(r.SpanSeconds()) + ")";
  }
  s.rolesText = RolesText(r);
  const FigureSummary waits = r.HallWaits();
  const FigureSummary closing = r.Closing();
  for (int i = 0; i < kKeyFigures; ++i) {
    const auto f = static_cast<KeyFigure>(i);
    ReportFigure rests;
    Measure m = MeasureOf(r, f, waits, closing, rests);
    if (!r.Measured(rests)) m = {false, 0, "", r.NotMeasuredText(rests)};
    KeyFigureRow row;
    row.figure = f;
    row.title = std::string(KeyFigureTitle(f));
    row.targetText = targets.Text(f);
    row.basis = m.basis;
    row.measured = m.ok && !r.Empty();
    if (row.measured) {
      row.value = m.value;
      row.valueText = KeyFigureValueText(f, m.value);
      row.verdict = targets.Judge(f, m.value);
    } else {
      row.valueText = m.missing.empty() ? "not measured" : m.missing;
      if (!m.missing.empty()) NoteNotMeasured(m.missing, row.title, s.notMeasured);
    }
    s.figures.push_back(std::move(row));
  }
  s.verdictLine = VerdictLine(s.figures);
  s.definitions = Definitions(r);
  return s;
}

}  // namespace korvalog
