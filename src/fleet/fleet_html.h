#pragma once
// The fleet report as one self-contained HTML page: the period, then one row
// per lift, worst first, each key figure with its verdict and its change
// from the previous period, and a small trend plot of the lift's days.
#include <string>

#include "analysis/report_targets.h"
#include "fleet/fleet_report.h"

namespace korvalog {

std::string FleetHtml(const FleetReport& report, const ReportTargets& targets);

}  // namespace korvalog
