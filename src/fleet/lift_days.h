#pragma once
// A capture's key figures cut into calendar days, computed once at publish
// time, so that fleet questions over months read a row per lift and day
// instead of the events. Each row keeps sums and the raw hall waits, so that
// any run of days gives the same figures the lift report gives.
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/lift_report.h"
#include "analysis/report_targets.h"

namespace korvalog {

struct LiftDay {
  int64_t day = 0;  // whole days since 30 December 1899
  double spanSeconds = 0, inServiceSeconds = 0;
  uint32_t trips = 0, doorCycles = 0, reopens = 0, closingCount = 0, shutdowns = 0;
  double closingSeconds = 0;
  std::vector<double> hallWaits;  // answered hall calls, seconds
  std::vector<int> chattering;    // channels that chattered that day
  std::string measured;           // one '1' or '0' per key figure, in KeyFigure order
};

std::vector<LiftDay> SummarizeDays(const LiftReport& report);

// The key figures of any set of days of one lift, as the report computes them.
struct LiftFigures {
  double values[kKeyFigures] = {};
  bool measured[kKeyFigures] = {};
  double spanSeconds = 0;
  int chatteringInputs = 0;
};
LiftFigures CombineDays(const std::vector<LiftDay>& days);

}  // namespace korvalog
