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
  std::string basis, missing;
};

Measure Need(bool hasRole, const char* role) { return {false, 0, "", hasRole ? "" : role}; }

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

  // Roles, in their order, with how many inputs carry each.
  int counts[kRoleCount] = {};
  for (int ch = 1; ch <= kChannelCount; ++ch) ++counts[static_cast<int>(r.Roles()[ch].role)];
  for (int i = 1; i < kRoleCount; ++i) {
    if (counts[i] == 0) continue;
    if (!s.rolesText.empty()) s.rolesText += ", ";
    s.rolesText += std::string(RoleTitle(static_cast<ChannelRole>(i)));
    if (counts[i] > 1) s.rolesText += " \xC3\x97" + std::to_string(counts[i]);  // ×n
  }
  if (s.rolesText.empty()) s.rolesText = "none: no input has a role yet";

  const ChannelRoles& roles = r.Roles();
  const bool hallRoles = roles.Has(ChannelRole::HallUp) || roles.Has(ChannelRole::HallDown);
  const bool motorRoles =
      roles.Has(ChannelRole::MotorUp) || roles.Has(ChannelRole::MotorDown) || roles.Has(ChannelRole::MotorRun);
  const bool oos = roles.Has(ChannelRole::OutOfService);
  const FigureSummary waits = r.HallWaits();
  const FigureSummary closing = r.Closing();
  const double days = r.SpanSeconds() / 86400.0;
  const size_t cycles = r.doors.cycleStarts.size();
  const AvailabilityFigures& a = r.availability;
  size_t shutdowns = a.spells.size() + (a.cutAtStart ? 1 : 0) + (a.cutAtEnd ? 1 : 0);
  if (a.cutAtStart && a.cutAtEnd && a.spells.empty() && a.outOfServiceSeconds >= a.spanSeconds) shutdowns = 1;

  for (int i = 0; i < kKeyFigures; ++i) {
    const auto f = static_cast<KeyFigure>(i);
    Measure m{false, 0, "", ""};
    const std::string calls = Plural(waits.count, "answered hall call", "answered hall calls");
    switch (f) {
      case KeyFigure::Availability:
        m = oos ? Measure{true, a.availabilityPercent, "over " + DurationText(r.SpanSeconds()), ""}
                : Need(false, "out-of-service");
        break;
      case KeyFigure::MeanWait:
      case KeyFigure::P95Wait:
      case KeyFigure::Within30:
      case KeyFigure::Within60: {
        if (!hallRoles || waits.count == 0) {
          m = Need(hallRoles, "hall-call");
          if (hallRoles) m.basis = "no hall call was answered";
          break;
        }
        const double n = static_cast<double>(waits.count);
        const double value = f == KeyFigure::MeanWait  ? waits.mean
                             : f == KeyFigure::P95Wait ? waits.p95
                             : f == KeyFigure::Within30 ? 100.0 * (n - static_cast<double>(waits.over30)) / n
                                                        : 100.0 * (n - static_cast<double>(waits.over60)) / n;
        m = {true, value, calls, ""};
        break;
      }
      case KeyFigure::TripsPerDay:
        if (motorRoles && days > 0) {
          m = {true, static_cast<double>(r.trips.trips.size()) / days,
               Plural(r.trips.trips.size(), "trip", "trips") + " in " + DurationText(r.SpanSeconds()), ""};
        } else {
          m = Need(motorRoles, "motor");
        }
        break;
      case KeyFigure::DoorClosing:
        if (closing.count > 0) {
          m = {true, closing.mean, Plural(closing.count, "closing", "closings"), ""};
        } else {
          m = Need(roles.Has(ChannelRole::DoorClosedLimit), "door closed limit");
          if (m.missing.empty()) m.basis = "no door closing was seen";
        }
        break;
      case KeyFigure::ReopensPer100:
        if (cycles > 0) {
          m = {true, 100.0 * static_cast<double>(r.doors.reopens.size()) / static_cast<double>(cycles),
               Plural(r.doors.reopens.size(), "reopen", "reopens") + " in " + Plural(cycles, "door cycle", "door cycles"),
               ""};
        } else {
          m = Need(roles.Has(ChannelRole::DoorOpenRelay), "door open relay");
          if (m.missing.empty()) m.basis = "no door cycle was seen";
        }
        break;
      case KeyFigure::Shutdowns:
        m = oos ? Measure{true, static_cast<double>(shutdowns), "over " + DurationText(r.SpanSeconds()), ""}
                : Need(false, "out-of-service");
        break;
    }
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
      row.valueText = m.missing.empty() ? "not measured" : "not measured (no " + m.missing + " role)";
      if (!m.missing.empty()) {
        // One entry per missing role: "no hall-call role (Mean hall-call wait, ...)".
        const std::string head = "no " + m.missing + " role (";
        auto same = std::find_if(s.notMeasured.begin(), s.notMeasured.end(),
                                 [&](const std::string& e) { return e.rfind(head, 0) == 0; });
        if (same == s.notMeasured.end()) {
          s.notMeasured.push_back(head + row.title + ")");
        } else {
          same->insert(same->size() - 1, ", " + row.title);
        }
      }
    }
    s.figures.push_back(std::move(row));
  }

  int judged = 0, poor = 0;
  std::string poorNames;
  for (const KeyFigureRow& row : s.figures) {
    if (row.verdict == Verdict::None) continue;
    ++judged;
    if (row.verdict == Verdict::Poor) {
      ++poor;
      poorNames += (poorNames.empty() ? "" : ", ") + row.title;
    }
  }
  if (judged == 0) {
    s.verdictLine = "No key figure could be judged: the inputs the figures need have no role.";
  } else if (poor == 0) {
    s.verdictLine = "All " + std::to_string(judged) + " judged figures meet at least their acceptable target.";
  } else {
    s.verdictLine = std::to_string(poor) + " of " + std::to_string(judged) + " judged figures are poor: " + poorNames + ".";
  }
  s.definitions = {
      "Availability: the share of the capture the lift was not out of service.",
      "Hall-call wait: from the call's registration until the controller cancels it as the car answers; "
      "percentiles by nearest rank.",
      "Door closing time: from the close command to the door closed limit.",
      "Reopens per 100 door cycles: door openings that came while the door was closing.",
      "Shutdowns: out-of-service spells, including any under way at the start or the end. Mean time between "
      "shutdowns = time in service / number of shutdowns.",
  };
  return s;
}

}  // namespace korvalog
