#include "analysis/statistics_table.h"

#include <algorithm>

#include "base/byte_text.h"
#include "base/date_time.h"
#include "base/time_text.h"
#include "core/records.h"

namespace korvalog {

StatisticsTable::StatisticsTable(const StatisticsAccumulator& cells, const StatisticsSettings& settings,
                                 const TraceList& traces)
    : cells_(&cells), settings_(settings) {
  columns_ = static_cast<int>(cells.LastInterval() - cells.FirstInterval()) + 2;
  auto channelOf = [&](int row) { return traces.ChannelAt(row + 1); };
  int rows = 0;
  for (int r = 0; r < kChannelCount; ++r) {
    const int ch = channelOf(r);
    if (ch != 0 && !cells.Cells(ch).empty()) rows = r + 1;
  }
  for (int r = 0; r < rows; ++r) {
    const int ch = channelOf(r);
    rowChannels_.push_back(ch);
    rowNames_.push_back(ch != 0 ? traces.Name(ch) : std::string());
  }
}

std::string StatisticsTable::CellText(int row, int column) const {
  if (row < 0 || row >= RowCount() || column < 0 || column >= columns_) return {};
  if (row == 0) return column == 0 ? "Channel" : HeaderText(column);
  if (column == 0) return rowNames_[row - 1];
  const int ch = rowChannels_[row - 1];
  if (ch == 0) return {};
  const std::span<const IntervalCell> cells = cells_->Cells(ch);
  const size_t index = static_cast<size_t>(column - 1);
  return index < cells.size() ? MeasureText(cells[index]) : std::string();
}

// "d/m hh:nn" of the interval's start.
std::string StatisticsTable::HeaderText(int column) const {
  const int64_t n = cells_->FirstInterval() + column - 1;
  const int64_t ms = n * (static_cast<int64_t>(kMsPerDay) / cells_->IntervalsPerDay());
  const DateTimeFields f = FieldsFromMs(ms);
  return IntToText(f.day) + "/" + IntToText(f.month) + " " + TwoDigitText(static_cast<uint8_t>(f.hour)) + ":" +
         TwoDigitText(static_cast<uint8_t>(f.minute));
}

std::string StatisticsTable::MeasureText(const IntervalCell& cell) const {
  if (settings_.type == StatisticType::Count) return UIntToText(cell.count);
  if (cell.count == 0) return "-";
  double d = cell.total;
  switch (settings_.type) {
    case StatisticType::Average: d = cell.total / cell.count; break;
    case StatisticType::Shortest: d = cell.shortest; break;
    case StatisticType::Longest: d = cell.longest; break;
    default: break;
  }
  if (settings_.format == DurationFormat::Seconds) return FloatToFixed(2, d * kSecondsPerDay);
  return FormatDuration(d);
}

std::string CopyBlockText(const StatisticsTable& table, int top, int left, int bottom, int right) {
  top = std::max(top, 0);
  left = std::max(left, 0);
  bottom = std::min(bottom, table.RowCount() - 1);
  right = std::min(right, table.ColumnCount() - 1);
  std::string out;
  for (int r = top; r <= bottom; ++r) {
    if (r > top) out += "\r\n";
    for (int c = left; c <= right; ++c) {
      if (c > left) out += '\t';
      out += table.CellText(r, c);
    }
  }
  return out;
}

std::string CopyAllText(const StatisticsTable& table) {
  if (!table.Visible()) return {};
  return CopyBlockText(table, 0, 0, table.RowCount() - 1, table.ColumnCount() - 1);
}

}  // namespace korvalog
