#pragma once
// The report's first page, for a building owner who reads it in a minute:
// where and when, which inputs the figures rest on, and the key figures
// judged against their targets with a plain verdict. Plain data, shared by
// the Report window, the HTML page and the PDF.
#include <string>
#include <vector>

#include "analysis/lift_report.h"
#include "analysis/report_targets.h"
#include "core/site_details.h"

namespace korvalog {

struct KeyFigureRow {
  KeyFigure figure{};
  std::string title;
  bool measured = false;
  double value = 0;
  std::string valueText;  // "23.4 s", or "not measured (no hall-call role)"
  std::string targetText;
  Verdict verdict = Verdict::None;
  std::string basis;  // what the figure was taken over ("312 answered calls")
};

struct ReportSummary {
  SiteDetails site;
  std::string spanText;          // "Tue 10/03/2026 08:00 to ... (4 h 00 min)"
  std::string rolesText;         // the roles the figures rest on
  std::vector<std::string> notMeasured;  // "no out-of-service role (Availability, Shutdowns)"
  std::vector<KeyFigureRow> figures;
  std::string verdictLine;       // one sentence over all the verdicts
  std::vector<std::string> definitions;
};

ReportSummary SummarizeReport(const LiftReport& report, const SiteDetails& site, const ReportTargets& targets);

// A moment on the page: "08:12:34", with the day ("12/03 08:12:34") when the
// capture spans more than one calendar day.
std::string MomentText(const LiftReport& report, double dateTime);

}  // namespace korvalog
