#include "analysis/statistics_view.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace korvalog {

StatisticsView::StatisticsView(const CaptureData& data, const CaptureView& view) : data_(data), view_(view) {
  // Nothing accumulated yet: a table without channel rows.
  table_.emplace(cells_, settings_, view_.Traces);
}

int StatisticsView::Choice(StatisticsList list) const {
  switch (list) {
    case StatisticsList::Type: return static_cast<int>(settings_.type);
    case StatisticsList::Interval: return settings_.interval;
    case StatisticsList::Format: return static_cast<int>(settings_.format);
    case StatisticsList::Active: return settings_.activeLevel;
  }
  return 0;
}

void StatisticsView::SetChoice(StatisticsList list, int index) {
  // How many choices each list offers, in the order of StatisticsList.
  static const size_t kCounts[] = {std::size(kStatisticTypeNames), std::size(kIntervalNames),
                                   std::size(kDurationFormatNames), std::size(kActiveLevelNames)};
  const auto which = static_cast<size_t>(list);
  if (which >= std::size(kCounts) || index < 0 || static_cast<size_t>(index) >= kCounts[which]) return;
  switch (list) {
    case StatisticsList::Type: settings_.type = static_cast<StatisticType>(index); break;
    case StatisticsList::Interval: settings_.interval = index; break;
    case StatisticsList::Format: settings_.format = static_cast<DurationFormat>(index); break;
    case StatisticsList::Active: settings_.activeLevel = static_cast<uint8_t>(index); break;
  }
  Rebuild();
}

// The cells hang on the events and two choices; the table besides on the
// rows, names and the other two. A running capture is counted afresh.
StatisticsView::Keeping StatisticsView::Kept(const CaptureKey& key) const {
  const bool cells = key.Settled() && cellsKey_ && *cellsKey_ == key && cellsInterval_ == settings_.interval &&
                     cellsActive_ == settings_.activeLevel;
  return {cells, cells && tableSettings_ == settings_ && tableTraces_ == view_.Traces};
}

bool StatisticsView::Rebuild() {
  CaptureKey key = CaptureKey::Of(data_);
  const Keeping kept = Kept(key);
  if (kept.table) return false;
  table_.reset();  // it points into the cells about to change
  if (!kept.cells) {
    cells_.Reset(kIntervalsPerDay[settings_.interval]);
    cells_.Accumulate(data_, settings_.activeLevel);
    cellsKey_ = std::move(key);
    cellsInterval_ = settings_.interval;
    cellsActive_ = settings_.activeLevel;
  }
  table_.emplace(cells_, settings_, view_.Traces);
  tableTraces_ = view_.Traces;
  tableSettings_ = settings_;
  selection_ = Clamped(selection_);
  return true;
}

CellBlock StatisticsView::Clamped(CellBlock b) const {
  const int lastRow = std::max(1, Table().RowCount() - 1);
  const int lastColumn = std::max(1, Table().ColumnCount() - 1);
  auto hold = [](int v, int last) { return std::clamp(v, 1, last); };
  b = {hold(b.top, lastRow), hold(b.left, lastColumn), hold(b.bottom, lastRow), hold(b.right, lastColumn)};
  if (b.top > b.bottom) std::swap(b.top, b.bottom);
  if (b.left > b.right) std::swap(b.left, b.right);
  return b;
}

void StatisticsView::Select(CellBlock block) { selection_ = Clamped(block); }

std::string StatisticsView::CopyText(bool all) const {
  if (!GridVisible()) return {};
  if (all) return CopyAllText(*table_);
  return CopyBlockText(*table_, selection_.top, selection_.left, selection_.bottom, selection_.right);
}

}  // namespace korvalog
