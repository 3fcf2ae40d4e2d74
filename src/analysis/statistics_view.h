#pragma once
// The Statistics window's state: its four choices, kept for the program run,
// the cells accumulated over the whole capture, the table built from them
// and the selected block. The window draws the table and forwards the
// user's choices and selection here.
#include <optional>
#include <string>

#include "analysis/statistics_accumulator.h"
#include "analysis/statistics_table.h"
#include "core/capture_data.h"
#include "core/capture_key.h"
#include "core/capture_view.h"

namespace korvalog {

// The window's drop-down lists, in toolbar order.
enum class StatisticsList { Type, Interval, Format, Active };

// A block of cells, both corners included. Only interval cells of channel
// rows can be selected: rows and columns from 1.
struct CellBlock {
  int top = 1;
  int left = 1;
  int bottom = 1;
  int right = 1;
  bool operator==(const CellBlock&) const = default;
};

class StatisticsView {
 public:
  // Counts `data`, in the rows and names of `view`.
  StatisticsView(const CaptureData& data, const CaptureView& view);
  StatisticsView(const StatisticsView&) = delete;
  StatisticsView& operator=(const StatisticsView&) = delete;

  // The item chosen in a list (0-based, as the list shows them).
  int Choice(StatisticsList list) const;
  // Stores a choice and rebuilds; an index outside the list is ignored.
  void SetChoice(StatisticsList list, int index);
  const StatisticsSettings& Settings() const { return settings_; }

  // Reset, accumulate over every stored event, build the table; false when
  // the table already shows the same events, rows, names and choices (kept).
  bool Rebuild();
  // Rebuild would change the table.
  bool Stale() const { return !Kept(CaptureKey::Of(data_)).table; }
  // Without channel rows until the first Rebuild.
  const StatisticsTable& Table() const { return *table_; }
  // The grid shows only when a channel completed a period.
  bool GridVisible() const { return table_->Visible(); }

  // Held to the table's channel rows and interval columns.
  void Select(CellBlock block);
  CellBlock Selection() const { return selection_; }

  // Copy: the selected block; Copy All: the whole grid with the header row
  // and the name column. TAB between cells, CR LF between rows, nothing
  // after the last row; empty while the grid is hidden.
  std::string CopyText(bool all) const;

 private:
  CellBlock Clamped(CellBlock block) const;
  struct Keeping {
    bool cells;
    bool table;
  };
  Keeping Kept(const CaptureKey& key) const;

  const CaptureData& data_;
  const CaptureView& view_;
  StatisticsSettings settings_;
  StatisticsAccumulator cells_;
  std::optional<StatisticsTable> table_;  // always holds one; rebuilt in place
  // What cells_ and table_ were made from; no cells before the first Rebuild.
  std::optional<CaptureKey> cellsKey_;
  int cellsInterval_ = -1;
  uint8_t cellsActive_ = 0;
  TraceList tableTraces_;
  StatisticsSettings tableSettings_;
  CellBlock selection_;
};

}  // namespace korvalog
