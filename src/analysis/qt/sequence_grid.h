#pragma once
// The Sequencer's grid: a header row of upturned titles and the 15 steps,
// drawn from the SequenceEditor's cells. It keeps a current cell, edits the
// two time columns in place and lets a row be dragged by its number; every
// other action goes to the window through its signals.
#include <QImage>
#include <QLineEdit>
#include <QRect>
#include <QWidget>

#include "analysis/sequence_editor.h"
#include "core/records.h"

namespace korvalog {

class TSequenceGrid : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kRowHeight = 22;
  static constexpr int kLine = 1;  // grid line between cells
  static constexpr int kColumnWidths[kSequenceGridColumns] = {22, 150, 40, 56, 56};

  TSequenceGrid(SequenceEditor& editor, const LoggerSettings& settings, QWidget* parent = nullptr);

  // As tall as the bold width of "Max Time" plus 4: the titles stand upright.
  int HeaderHeight() const { return headerHeight_; }
  // Cell (row, column) in the grid's coordinates, without its grid lines.
  QRect CellRect(int row, int column) const;
  // The cell under a point; false outside the cells.
  bool CellAt(QPoint p, int& row, int& column) const;

  int CurrentRow() const { return row_; }
  int CurrentColumn() const { return column_; }
  void SetCurrent(int row, int column);

  // Opens the in-place edit on a time cell; the typed text replaces the
  // value when given.
  void StartEdit(const QString* typed = nullptr);
  QLineEdit* InPlaceEdit() const { return edit_; }
  bool Editing() const { return edit_->isVisible(); }

  QSize sizeHint() const override;

 signals:
  // Double click or Enter on a cell that is not typed into.
  void CellActivated(int row, int column);
  // Every change of the in-place text, as it is typed.
  void EditTextChanged(int row, int column, const QString& text);
  // The in-place edit opened; it closed with Enter (kept) or Escape (the
  // old text has been handed over again by then).
  void EditStarted();
  void EditEnded(bool kept);
  // A row dropped somewhere else by its number.
  void RowMoved(int from, int to);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  int ColumnLeft(int column) const;
  int RowTop(int row) const;
  int RowUnder(int y) const;  // a step row 1..15, held to them
  void DrawCell(QPainter& p, int row, int column);
  void Activate(int row, int column);
  void EndEdit(bool keep);

  SequenceEditor& editor_;
  const LoggerSettings& settings_;
  int headerHeight_ = 0;
  int row_ = 1;
  int column_ = kSeqColSignal;
  int dragFrom_ = 0;  // row held by its number, 0 = none
  int dragTo_ = 0;
  bool activatePending_ = false;  // a double click waits for its release
  QLineEdit* edit_;
  QString editOriginal_;
  QImage eventPictures_[2];  // falling, rising: drawn once, not on every paint
};

}  // namespace korvalog
