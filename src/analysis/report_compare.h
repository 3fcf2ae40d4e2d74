#pragma once
// Two captures of one lift side by side: every figure of their reports
// before and after, the change, and whether the lift got better or worse,
// judged against the report's targets where the figure has one. Counts are
// taken per hour when the captures differ in length, so a day is not
// compared with a morning. Inputs are paired by role, then by name
// (compare_channels.h); what cannot be paired is listed. Plain data, shared
// by the CSV, the page, the PDF and the Report window's Compare page.
#include <string>
#include <vector>

#include "analysis/compare_channels.h"
#include "analysis/lift_report.h"
#include "analysis/report_plots.h"
#include "analysis/report_targets.h"
#include "core/trace_list.h"

namespace korvalog {

enum class Change : uint8_t {
  None,       // not measured on one side, or a figure only for information
  Same,
  Better,
  Worse,
};
std::string_view ChangeWord(Change c);  // "better", "worse", "no change", ""

struct CompareRow {
  std::string figure;  // "Mean door closing time", "Chatter: Landing door contact (input 22)"
  std::string unit;    // "s", "%", "per 100 door cycles", "per hour", "count", "per day"
  int decimals = 0;
  bool measuredBefore = false, measuredAfter = false;
  double before = 0, after = 0;
  Change change = Change::None;
  Verdict verdictBefore = Verdict::None, verdictAfter = Verdict::None;  // against the targets
  std::string group;   // "Key figures", "Doors", ... for the page's headings

  bool Both() const { return measuredBefore && measuredAfter; }
  double Difference() const { return after - before; }
  // As in the CSV: the number alone, '.' in any locale; "" when not measured.
  std::string BeforeText() const;
  std::string AfterText() const;
  std::string ChangeText() const;  // "+0.250", "-0.800", "0.000"
  // The figure as the page names it: "Reopens (per hour)"; seconds and
  // percent go with the numbers instead.
  std::string Label() const;
};

struct CaptureSide {
  std::string source;    // the file's name
  double start = 0, end = 0;
  std::string spanText;  // "Tue 10/03/2026 08:00:00 to ... (4 h 00 min)"
  bool hasRoles = false;
};

struct ReportComparison {
  CaptureSide before, after;
  bool perHour = false;     // the lengths differ: counts per hour of capture
  bool healthOnly = false;  // neither capture has roles: the inputs' health alone
  std::vector<CompareRow> rows;
  ChannelMatch channels;
  std::vector<std::string> unmatchedBefore, unmatchedAfter;  // channel labels
  std::vector<std::string> notes;  // what the page says under the table

  const CompareRow* Find(std::string_view figure) const;
  // One sentence: "4 figures better, 1 worse, 12 unchanged."
  std::string VerdictLine() const;
};

ReportComparison CompareReports(const LiftReport& before, const TraceList& beforeNames, const LiftReport& after,
                                const TraceList& afterNames, const ReportTargets& targets);
void SetSources(ReportComparison& c, std::string beforeSource, std::string afterSource);

// Lengths within this share of each other count as the same.
inline constexpr double kSameLengthShare = 0.01;

// The door closing and hall-wait histograms of both captures in one plot:
// series 0 before, 1 after, bars side by side in shared bins.
std::vector<PlotPlan> OverlaidHistograms(const LiftReport& before, const LiftReport& after);

}  // namespace korvalog
