#pragma once
// The channel grid: a header row with the measuring cursors and 128 channel
// rows (number, name, live state, search condition, waveform). The user
// resizes columns by dragging the header's column lines, moves rows by
// dragging in the number column, renames channels in the name column and
// sets up the search in the Search and waveform columns.
#include <QLineEdit>
#include <QScrollBar>
#include <QWidget>
#include <array>
#include <functional>

#include "chart/chart_state.h"
#include "chart/qt/chart_painting.h"
#include "chart/qt/handle.h"
#include "core/user_edits.h"

namespace korvalog {

class ChannelGrid : public QWidget {
  Q_OBJECT

 public:
  // `context` supplies what the painting reads; it is asked at every paint.
  ChannelGrid(ChartState& state, std::function<ChartDrawContext()> context, QWidget* parent = nullptr);

  const GridLayout& Layout() const { return layout_; }
  const std::array<int, kGridColumns>& ColumnWidths() const { return layout_.widths; }
  // Columns 0..3; the waveform column (4) always takes the rest of the grid.
  void SetColumnWidth(int column, int width);
  // The narrowest grid that leaves the waveform column its minimum width.
  int MinimumWidth() const;
  // The grid's right edge as far as it can be seen (the chart scrolled
  // sideways); the vertical scroll bar stays there. 0 = the grid's own.
  void SetVisibleRight(int x);
  int TopRow() const { return topRow_; }
  void SetTopRow(int row);
  int VisibleRows() const;
  int CurrentColumn() const { return column_; }
  int CurrentRow() const { return row_; }
  void SetCurrentCell(int column, int row);
  THandle* Cursor(MeasuringCursor which) { return which == MeasuringCursor::First ? cursor1_ : cursor2_; }
  QLineEdit* NameEditor() { return editor_; }
  QScrollBar* ScrollBar() { return scroll_; }
  // Places the cursors where the chart state has them.
  void SyncCursors();
  // Repaints the waveform column only, not the scroll bar beside it: a step
  // in time changes nothing else, and the scroll bar is slow to draw.
  void UpdateWaveColumn();

 signals:
  // Column widths changed (the next layout pass follows them).
  void ColumnsResized();
  // A search condition changed through a double click or a key.
  void SearchChanged();
  // A cursor is being dragged.
  void CursorDragged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  static QColor Colour(const ChartDrawContext& ctx);
  int ColumnLineAt(int x, int y) const;
  void StartEditing(const QString* typed);
  void FinishEditing(bool keep);
  void UpdateScrollRange();
  void FitWaveColumn();
  int FixedWidth() const;
  void CursorChanging(THandle* handle);

  ChartState& state_;
  std::function<ChartDrawContext()> context_;
  GridLayout layout_;
  QScrollBar* scroll_;
  THandle* cursor1_;
  THandle* cursor2_;
  QLineEdit* editor_;
  int visibleRight_ = 0;
  int topRow_ = 1;
  int column_ = 1;
  int row_ = 1;
  int editRow_ = 0;
  std::string editOriginal_;
  UndoableEdit renameEdit_;  // Escape takes the rename back, mark included
  // Mouse gestures.
  int sizingColumn_ = -1;
  int sizingStartX_ = 0;
  int sizingStartWidth_ = 0;
  int movingRow_ = 0;
  int moveTarget_ = 0;
};

}  // namespace korvalog
