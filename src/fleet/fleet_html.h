#pragma once
// The fleet report as one self-contained HTML page: the period, then one row
// per lift, worst first, each key figure with its verdict and its change
// from the previous period, and a small trend plot of the lift's days. The
// PDF (fleet/qt) shows the same texts.
#include <string>

#include "analysis/report_targets.h"
#include "fleet/fleet_report.h"

namespace korvalog {

std::string FleetHtml(const FleetReport& report, const ReportTargets& targets);

// The page's texts, shared with the PDF.
std::string FleetPeriodText(const FleetReport& report);  // "2026-03-10 to 2026-04-08"
std::string FleetSubtitle(const FleetReport& report);    // "12 lifts at S · worst first · change ..."
std::string FleetChangeText(double change);              // "+1.25"
extern const char* const kFleetNote;

}  // namespace korvalog
