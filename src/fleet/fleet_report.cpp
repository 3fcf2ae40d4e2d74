#include "fleet/fleet_report.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "base/date_time.h"
#include "fleet/fleet_schema.h"

namespace korvalog {
namespace {

template <typename T>
std::vector<T> ParseArray(const std::string& text) {
  std::vector<T> values;
  const char* p = text.c_str();
  while (*p != 0 && *p != '}') {
    ++p;  // '{' or ','
    char* end = nullptr;
    const double v = std::strtod(p, &end);
    if (end == p) break;
    values.push_back(static_cast<T>(v));
    p = end;
  }
  return values;
}

int Badness(Verdict v) {
  switch (v) {
    case Verdict::Poor: return 100;
    case Verdict::Acceptable: return 10;
    case Verdict::Good: return 1;
    default: return 0;
  }
}

std::string Fixed(double v, int decimals) {
  char text[48];
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  return text;
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string out = "\"";
  for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

}  // namespace

std::string DayText(int64_t day) {
  const DateTimeFields f = FieldsFromMs(day * 86400000LL);
  char text[24];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", f.year, f.month, f.day);
  return text;
}

bool ParseDay(const std::string& text, int64_t& day) {
  int y = 0, m = 0, d = 0, used = 0;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2d%n", &y, &m, &d, &used) != 3 || static_cast<size_t>(used) != text.size() ||
      !IsValidDate(y, m, d)) {
    return false;
  }
  day = DaysFromCivil(y, m, d);
  return true;
}

bool LoadFleetReport(PgConnection& conn, FleetQuery query, const ReportTargets& targets, FleetReport& report,
                     std::string& error) {
  if (!EnsureFleetSchema(conn, SchemaUse::Read, error)) {
    if (error.empty()) error = conn.Error();
    return false;
  }
  const PgParam site = query.site.empty() ? PgParam::Null() : PgParam::Text(query.site);
  PgRows rows;
  if (query.toDay == 0) {
    if (!conn.Query("SELECT max(d.day)::text FROM korvalog.lift_days d JOIN korvalog.lifts l USING (lift_id) "
                    "JOIN korvalog.sites s USING (site_id) WHERE $1::text IS NULL OR s.name = $1",
                    {site}, rows)) {
      error = conn.Error();
      return false;
    }
    if (rows.IsNull(0, 0) || !ParseDay(rows.Text(0, 0), query.toDay)) {
      error = "the store holds no published days" + (query.site.empty() ? "" : " of site '" + query.site + "'");
      return false;
    }
    query.toDay += 1;
  }
  if (query.fromDay == 0) query.fromDay = query.toDay - 30;
  if (query.fromDay >= query.toDay) {
    error = "--from is not before --to";
    return false;
  }
  const int64_t previous = query.fromDay - (query.toDay - query.fromDay);
  if (!conn.Query("SELECT s.name, l.name, d.day::text, d.span_s, d.in_service_s, d.trips, d.door_cycles, d.reopens, "
                  "d.closing_total_s, d.closing_count, d.hall_waits::text, d.shutdowns, d.chattering::text, d.measured "
                  "FROM korvalog.lift_days d JOIN korvalog.lifts l USING (lift_id) JOIN korvalog.sites s USING (site_id) "
                  "WHERE d.day >= $1::date AND d.day < $2::date AND ($3::text IS NULL OR s.name = $3) "
                  "ORDER BY s.name, l.name, d.day",
                  {PgParam::Text(DayText(previous)), PgParam::Text(DayText(query.toDay)), site}, rows)) {
    error = conn.Error();
    return false;
  }
  struct Days {
    std::vector<LiftDay> now, before;
  };
  std::map<std::pair<std::string, std::string>, Days> lifts;
  for (int r = 0; r < rows.Count(); ++r) {
    LiftDay d;
    ParseDay(rows.Text(r, 2), d.day);
    d.spanSeconds = rows.Real(r, 3);
    d.inServiceSeconds = rows.Real(r, 4);
    d.trips = static_cast<uint32_t>(rows.Int(r, 5));
    d.doorCycles = static_cast<uint32_t>(rows.Int(r, 6));
    d.reopens = static_cast<uint32_t>(rows.Int(r, 7));
    d.closingSeconds = rows.Real(r, 8);
    d.closingCount = static_cast<uint32_t>(rows.Int(r, 9));
    d.hallWaits = ParseArray<double>(rows.Text(r, 10));
    d.shutdowns = static_cast<uint32_t>(rows.Int(r, 11));
    d.chattering = ParseArray<int>(rows.Text(r, 12));
    d.measured = rows.Text(r, 13);
    Days& days = lifts[{rows.Text(r, 0), rows.Text(r, 1)}];
    (d.day >= query.fromDay ? days.now : days.before).push_back(std::move(d));
  }
  report = FleetReport{query, {}};
  for (auto& [key, days] : lifts) {
    if (days.now.empty()) continue;
    FleetLift lift;
    lift.site = key.first;
    lift.lift = key.second;
    lift.now = CombineDays(days.now);
    lift.hasBefore = !days.before.empty();
    if (lift.hasBefore) lift.before = CombineDays(days.before);
    for (int i = 0; i < kKeyFigures; ++i) {
      if (!lift.now.measured[i]) continue;
      lift.verdicts[i] = targets.Judge(static_cast<KeyFigure>(i), lift.now.values[i]);
      lift.severity += Badness(lift.verdicts[i]);
    }
    // One point a day (days split over captures are taken together).
    for (size_t i = 0; i < days.now.size();) {
      size_t j = i;
      std::vector<LiftDay> one;
      while (j < days.now.size() && days.now[j].day == days.now[i].day) one.push_back(days.now[j++]);
      const LiftFigures f = CombineDays(one);
      lift.dailyAvailability.push_back(f.values[static_cast<int>(KeyFigure::Availability)]);
      lift.dailyTrips.push_back(f.values[static_cast<int>(KeyFigure::TripsPerDay)]);
      i = j;
    }
    report.lifts.push_back(std::move(lift));
  }
  std::stable_sort(report.lifts.begin(), report.lifts.end(), [](const FleetLift& a, const FleetLift& b) {
    if (a.severity != b.severity) return a.severity > b.severity;
    return a.now.values[0] < b.now.values[0];  // then the least available first
  });
  return true;
}

std::string FleetCsv(const FleetReport& report) {
  std::string out = "site,lift";
  for (int i = 0; i < kKeyFigures; ++i) {
    const std::string key(KeyFigureKey(static_cast<KeyFigure>(i)));
    out += "," + key + "," + key + "_verdict," + key + "_change";
  }
  out += ",chattering_inputs\r\n";
  for (const FleetLift& l : report.lifts) {
    out += CsvField(l.site) + "," + CsvField(l.lift);
    for (int i = 0; i < kKeyFigures; ++i) {
      if (!l.now.measured[i]) {
        out += ",,,";
        continue;
      }
      out += "," + Fixed(l.now.values[i], 3) + "," + std::string(VerdictWord(l.verdicts[i])) + ",";
      if (l.hasBefore && l.before.measured[i]) out += Fixed(l.now.values[i] - l.before.values[i], 3);
    }
    out += "," + std::to_string(l.now.chatteringInputs) + "\r\n";
  }
  return out;
}

}  // namespace korvalog
