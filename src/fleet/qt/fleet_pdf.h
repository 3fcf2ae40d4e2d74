#pragma once
// The fleet report as a PDF (A4 across): the texts of the HTML page through
// the lift report's page loop, the lifts' table with each verdict in its
// colour, then a trend line of each lift's availability and trips a day.
#include <string>

#include "analysis/report_targets.h"
#include "fleet/fleet_report.h"
#include "project/project_file.h"

namespace korvalog {

FileResult WriteFleetPdf(const std::string& path, const FleetReport& report, const ReportTargets& targets);

}  // namespace korvalog
