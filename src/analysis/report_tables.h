#pragma once
// The report's figures as titled tables of texts, shared by the Report
// window, the HTML page and the PDF: each row may name the span of the
// capture it stands for, so a click zooms the chart there.
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/lift_report.h"
#include "core/records.h"
#include "core/trace_list.h"

namespace korvalog {

struct ReportTable {
  std::string title;
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;
  std::vector<double> rowFrom, rowTo;  // date-times per row; from < 0: nowhere to go
  std::string note;                    // said under the table; may be empty
};

// At most `runRows` Sequencer runs, those outside their limits first.
std::vector<ReportTable> ReportTables(const LiftReport& report, const TraceList& names, size_t runRows = SIZE_MAX);
// The tables as a page shows them: a long one summarised to at most
// `maxRows` rows (the busiest hours, the runs outside their limits first)
// with a note that the CSV or the Report window holds the rest.
std::vector<ReportTable> DocumentTables(const LiftReport& report, const TraceList& names, size_t maxRows = 40);
// Parts of ReportTables: the lift's speed, its landings, its shutdowns.
ReportTable PerformanceTable(const LiftReport& report);
ReportTable FloorTable(const LiftReport& report);
ReportTable ShutdownTable(const LiftReport& report);
// The sentences under the tables: what was not counted and why.
std::vector<std::string> ReportNotes(const LiftReport& report);

// "3.250 s", "2 min 05 s", "1 h 02 min".
std::string DurationText(double seconds);
// Local clock time of a date-time, "08:12:34"; with the date "2026-03-10 08:12".
std::string ClockText(double dateTime);
std::string DateHourText(double dateTime);
std::string DateText(double dateTime);

}  // namespace korvalog
