#pragma once
// The fleet report's data: per lift, the key figures of a period read from
// the daily summaries, judged against the lift report's targets, with the
// previous period of the same length beside them, worst lift first.
#include <string>
#include <vector>

#include "analysis/report_targets.h"
#include "fleet/lift_days.h"
#include "fleet/pg_connection.h"

namespace korvalog {

struct FleetQuery {
  int64_t fromDay = 0, toDay = 0;  // days since 30 December 1899; toDay excluded. 0, 0: the last 30 days stored
  std::string site;                // empty: every site
};

struct FleetLift {
  std::string site, lift;
  LiftFigures now, before;
  bool hasBefore = false;
  Verdict verdicts[kKeyFigures] = {};
  int severity = 0;  // the sum of the verdicts' badness, for the ranking
  std::vector<double> dailyAvailability;  // one per day of the period with data, for the trend plot
  std::vector<double> dailyTrips;
};

struct FleetReport {
  FleetQuery period;
  std::vector<FleetLift> lifts;  // worst first
};

bool LoadFleetReport(PgConnection& conn, FleetQuery query, const ReportTargets& targets, FleetReport& report,
                     std::string& error);

// One row per lift: site, lift, then per key figure its value, verdict and
// change from the previous period; chattering inputs last. CR LF.
std::string FleetCsv(const FleetReport& report);

// "2026-03-10" for a day number, and back.
std::string DayText(int64_t day);
bool ParseDay(const std::string& text, int64_t& day);

}  // namespace korvalog
