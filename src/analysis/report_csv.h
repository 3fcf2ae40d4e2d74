#pragma once
// Every measured occurrence of the report as CSV, for scripts:
// kind,start_s,duration_s,channel,floor,detail — one row per occurrence in
// time order, seconds from the capture start to the millisecond, CR LF.
#include <string>

#include "analysis/lift_report.h"

namespace korvalog {

std::string ReportCsv(const LiftReport& report);
// The CSV detail of one occurrence (a sequence run: its step times).
std::string OccurrenceDetailText(const LiftReport& report, const Occurrence& o);
// Seconds from the capture start, three decimals, '.' in any locale.
std::string SecondsText(double seconds);

}  // namespace korvalog
