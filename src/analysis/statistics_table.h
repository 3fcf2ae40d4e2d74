#pragma once
// The statistics grid as texts: a header row of interval start times, one
// row per chart row up to the last channel with periods, and the chosen
// measure per interval. Cell texts are made when asked for, so a wide table
// costs no more memory than its cells.
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/statistics_accumulator.h"
#include "core/records.h"
#include "core/trace_list.h"

namespace korvalog {

class StatisticsTable {
 public:
  // Keeps a reference to `cells`; it must outlive the table. The rows and
  // names are `traces`' as they are now.
  StatisticsTable(const StatisticsAccumulator& cells, const StatisticsSettings& settings, const TraceList& traces);

  // Row 0 is the header; rows 1.. follow the chart's row order.
  int RowCount() const { return static_cast<int>(rowChannels_.size()) + 1; }
  // Column 0 names the channel; column j is interval FirstInterval() + j - 1.
  int ColumnCount() const { return columns_; }
  // Shown only with at least one channel row.
  bool Visible() const { return RowCount() > 1; }
  std::string CellText(int row, int column) const;

 private:
  std::string HeaderText(int column) const;
  std::string MeasureText(const IntervalCell& cell) const;

  const StatisticsAccumulator* cells_;
  StatisticsSettings settings_;
  int columns_ = 1;
  std::vector<int> rowChannels_;  // channel of each row, 0 = none
  std::vector<std::string> rowNames_;
};

// The block from (top, left) to (bottom, right), both included: cells joined
// by TAB, rows by CR LF, nothing after the last row. Held to the table.
std::string CopyBlockText(const StatisticsTable& table, int top, int left, int bottom, int right);
// The whole grid, header row and name column included; empty when hidden.
std::string CopyAllText(const StatisticsTable& table);

}  // namespace korvalog
