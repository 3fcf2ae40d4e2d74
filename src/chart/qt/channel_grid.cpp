#include "chart/qt/channel_grid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>

#include "chart/grid_edits.h"
#include "chart/grid_fit.h"
#include "ui/qt/kit_look.h"

namespace korvalog {
namespace {

constexpr int kLineGrip = 2;  // pixels either side of a column line that grab it

}  // namespace

ChannelGrid::ChannelGrid(ChartState& state, std::function<ChartDrawContext()> context, QWidget* parent)
    : QWidget(parent), state_(state), context_(std::move(context)) {
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  layout_.rowHeight = state_.RowHeight;
  layout_.headerHeight = HeaderHeightFor(font());
  scroll_ = new QScrollBar(Qt::Vertical, this);
  scroll_->setTracking(true);  // the rows follow the thumb while it is dragged
  scroll_->setCursor(Qt::ArrowCursor);
  connect(scroll_, &QScrollBar::valueChanged, this, [this](int v) { SetTopRow(v); });
  cursor1_ = new THandle(this);
  cursor2_ = new THandle(this);
  for (THandle* c : {cursor1_, cursor2_}) {
    c->SetSize(kHandleHalf);
    c->SetAllowVert(false);
    c->SetPosY(layout_.headerHeight - 6);
    connect(c, &THandle::OnChanging, this, &ChannelGrid::CursorChanging);
  }
  editor_ = new QLineEdit(this);
  editor_->setFrame(false);
  editor_->hide();
  editor_->installEventFilter(this);
  connect(editor_, &QLineEdit::textEdited, this, [this](const QString& text) {
    // Every change is handed over at once, cut to the name's length.
    if (editRow_ < 1) return;
    SetChannelNameFromEdit(state_.Data(), state_.View().Traces, editRow_, KitBytes(text.left(kChannelNameMax)));
    update();
  });
  SyncCursors();
  UpdateScrollRange();
}

void ChannelGrid::UpdateWaveColumn() {
  const int left = layout_.ColumnLeft(kGridColumns - 1);
  const int right = scroll_->isVisible() ? scroll_->x() : width();
  update(QRect(left, 0, right - left, height()));
}

void ChannelGrid::SetColumnWidth(int column, int width) {
  if (column < 0 || column >= kGridColumns) return;
  if (column < kGridColumns - 1) layout_.widths[column] = std::max(width, 0);
  FitWaveColumn();
  update();
  emit ColumnsResized();
}

int ChannelGrid::FixedWidth() const { return layout_.ContentWidth() - layout_.widths[kGridColumns - 1]; }

int ChannelGrid::MinimumWidth() const {
  return MinimumGridWidth(FixedWidth(), WaveRightReserve(scroll_->sizeHint().width()));
}

void ChannelGrid::FitWaveColumn() {
  layout_.widths[kGridColumns - 1] = FitWaveWidth(width(), FixedWidth(), WaveRightReserve(scroll_->sizeHint().width()));
}

void ChannelGrid::SetVisibleRight(int x) {
  if (x == visibleRight_) return;
  visibleRight_ = x;
  UpdateScrollRange();
}

int ChannelGrid::VisibleRows() const {
  return std::max(1, (height() - GridLayout::kFrame - layout_.RowsTop()) / layout_.rowHeight);
}

void ChannelGrid::SetTopRow(int row) {
  const int maxTop = std::max(1, kChannelCount - VisibleRows() + 1);
  row = std::clamp(row, 1, maxTop);
  if (row == topRow_) return;
  topRow_ = row;
  if (scroll_->value() != row) scroll_->setValue(row);
  if (editor_->isVisible()) FinishEditing(true);
  update();
}

void ChannelGrid::SetCurrentCell(int column, int row) {
  column_ = std::clamp(column, 1, kGridColumns - 1);
  row_ = std::clamp(row, 1, kChannelCount);
  if (row_ < topRow_) SetTopRow(row_);
  if (row_ >= topRow_ + VisibleRows()) SetTopRow(row_ - VisibleRows() + 1);
  update();
}

void ChannelGrid::SyncCursors() {
  cursor1_->SetPosX(state_.Cursor1.PosX);
  cursor1_->SetLimitsX(state_.Cursor1.MinX, state_.Cursor1.MaxX);
  cursor2_->SetPosX(state_.Cursor2.PosX);
  cursor2_->SetLimitsX(state_.Cursor2.MinX, state_.Cursor2.MaxX);
}

void ChannelGrid::CursorChanging(THandle* handle) {
  state_.CursorMoved(handle == cursor1_ ? MeasuringCursor::First : MeasuringCursor::Second, handle->PosX());
  SyncCursors();
  update();
  emit CursorDragged();
}

void ChannelGrid::UpdateScrollRange() {
  const int sw = scroll_->sizeHint().width();
  const int right = visibleRight_ > 0 ? std::min(visibleRight_, width()) : width();
  scroll_->setGeometry(right - GridLayout::kFrame - sw, GridLayout::kFrame, sw,
                       std::max(0, height() - 2 * GridLayout::kFrame));
  const int maxTop = std::max(1, kChannelCount - VisibleRows() + 1);
  scroll_->setRange(1, maxTop);
  scroll_->setPageStep(VisibleRows());
  if (topRow_ > maxTop) SetTopRow(maxTop);
}

void ChannelGrid::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  const ChartDrawContext ctx = context_();
  PaintGrid(p, ctx, layout_, size(), topRow_, event->rect());
  if (hasFocus() && row_ >= topRow_) {
    QRect r = layout_.CellRect(column_, row_, topRow_);
    p.setPen(QPen(Colour(ctx), 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
  }
  if (movingRow_ > 0 && moveTarget_ > 0) {
    const QRect r = layout_.CellRect(0, moveTarget_, topRow_);
    const int y = moveTarget_ > movingRow_ ? r.bottom() : r.top();
    p.fillRect(QRect(GridLayout::kFrame, y - 1, layout_.ContentWidth(), 2), SystemColourOf(SystemColour::WindowText, ctx.palette));
  }
}

// Only the focus frame follows the focus: its cell is repainted, not the
// whole grid as Qt would (a dialog opening or closing moves the focus).
void ChannelGrid::focusInEvent(QFocusEvent*) {
  if (row_ >= topRow_) update(layout_.CellRect(column_, row_, topRow_));
}

void ChannelGrid::focusOutEvent(QFocusEvent*) {
  if (row_ >= topRow_) update(layout_.CellRect(column_, row_, topRow_));
}

QColor ChannelGrid::Colour(const ChartDrawContext& ctx) { return SystemColourOf(SystemColour::WindowText, ctx.palette); }

void ChannelGrid::resizeEvent(QResizeEvent*) {
  // The waveform column takes what the other columns leave, at any size.
  const int wave = layout_.widths[kGridColumns - 1];
  FitWaveColumn();
  if (layout_.widths[kGridColumns - 1] != wave) emit ColumnsResized();
  UpdateScrollRange();
}

int ChannelGrid::ColumnLineAt(int x, int y) const {
  if (y < GridLayout::kFrame || y >= layout_.RowsTop()) return -1;
  // The waveform column's own line follows the grid's width.
  for (int c = 0; c < kGridColumns - 1; ++c) {
    const int line = layout_.ColumnLeft(c) + layout_.widths[c];
    if (std::abs(x - line) <= kLineGrip) return c;
  }
  return -1;
}

void ChannelGrid::mousePressEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (editor_->isVisible()) FinishEditing(true);
  setFocus(Qt::MouseFocusReason);
  if (event->button() != Qt::LeftButton) return;
  const int line = ColumnLineAt(pos.x(), pos.y());
  if (line >= 0) {
    sizingColumn_ = line;
    sizingStartX_ = pos.x();
    sizingStartWidth_ = layout_.widths[line];
    return;
  }
  const int column = layout_.ColumnAt(pos.x());
  const int row = layout_.RowAt(pos.y(), topRow_);
  if (column < 0 || row < 1) return;
  if (column == 0) {
    movingRow_ = row;
    moveTarget_ = row;
    return;
  }
  const bool again = column == column_ && row == row_;
  SetCurrentCell(column, row);
  if (again && column == 1) StartEditing(nullptr);
}

void ChannelGrid::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (sizingColumn_ >= 0) {
    SetColumnWidth(sizingColumn_, sizingStartWidth_ + pos.x() - sizingStartX_);
    return;
  }
  if (movingRow_ > 0) {
    int row = layout_.RowAt(std::max(pos.y(), layout_.RowsTop()), topRow_);
    if (row < 1) row = kChannelCount;
    // Dragging past the top or bottom scrolls.
    if (pos.y() < layout_.RowsTop()) SetTopRow(topRow_ - 1);
    if (pos.y() >= height() - GridLayout::kFrame) SetTopRow(topRow_ + 1);
    moveTarget_ = std::clamp(row, 1, kChannelCount);
    update();
    return;
  }
  setCursor(ColumnLineAt(pos.x(), pos.y()) >= 0 ? Qt::SplitHCursor : Qt::ArrowCursor);
}

void ChannelGrid::mouseReleaseEvent(QMouseEvent*) {
  sizingColumn_ = -1;
  if (movingRow_ > 0) {
    const int from = movingRow_, to = moveTarget_;
    movingRow_ = moveTarget_ = 0;
    if (MoveDisplayRow(state_.Data(), state_.View().Traces, from, to)) SetCurrentCell(column_, to);
    update();
  }
}

void ChannelGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (ColumnLineAt(pos.x(), pos.y()) >= 0) return;
  const int column = layout_.ColumnAt(pos.x());
  const int row = layout_.RowAt(pos.y(), topRow_);
  if (column < 1 || row < 1) return;
  SetCurrentCell(column, row);
  if (column == 1) {
    StartEditing(nullptr);
  } else if (state_.GridDoubleClick(column, row)) {
    update();
    emit SearchChanged();
  }
}

void ChannelGrid::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Up: SetCurrentCell(column_, row_ - 1); return;
    case Qt::Key_Down: SetCurrentCell(column_, row_ + 1); return;
    case Qt::Key_Left: SetCurrentCell(column_ - 1, row_); return;
    case Qt::Key_Right: SetCurrentCell(column_ + 1, row_); return;
    case Qt::Key_PageUp: SetCurrentCell(column_, row_ - VisibleRows()); return;
    case Qt::Key_PageDown: SetCurrentCell(column_, row_ + VisibleRows()); return;
    case Qt::Key_Home: SetCurrentCell(column_, 1); return;
    case Qt::Key_End: SetCurrentCell(column_, kChannelCount); return;
    default: break;
  }
  const QString text = event->text();
  const bool character = !text.isEmpty() && text.at(0).isPrint();
  if (column_ == 3 && character) {
    // Any character in a Search cell is taken and cycles its condition.
    if (state_.GridKeyPress(column_, row_)) {
      update();
      emit SearchChanged();
    }
    return;
  }
  if (column_ == 1) {
    if (event->key() == Qt::Key_F2 || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
      StartEditing(nullptr);
      return;
    }
    if (character) {
      StartEditing(&text);
      return;
    }
  }
  QWidget::keyPressEvent(event);
}

void ChannelGrid::wheelEvent(QWheelEvent* event) {
  const int steps = event->angleDelta().y() / 40;
  if (steps != 0) SetTopRow(topRow_ - steps);
}

void ChannelGrid::StartEditing(const QString* typed) {
  if (column_ != 1 || row_ < 1) return;
  if (row_ < topRow_ || row_ >= topRow_ + VisibleRows()) SetCurrentCell(column_, row_);
  const int channel = ChannelOfRow(state_.View().Traces, row_);
  if (channel == 0) return;
  editRow_ = row_;
  editOriginal_ = state_.View().Traces.Name(channel);
  renameEdit_.Begin(state_.Data());
  QFont bold = font();
  bold.setBold(true);
  editor_->setFont(bold);
  editor_->setGeometry(layout_.CellRect(1, row_, topRow_));
  editor_->setText(KitText(editOriginal_));
  editor_->show();
  editor_->setFocus();
  if (typed) {
    // A typed character replaces the name, as in a text cell.
    editor_->setText(*typed);
    emit editor_->textEdited(*typed);
  } else {
    editor_->selectAll();
  }
}

void ChannelGrid::FinishEditing(bool keep) {
  if (!editor_->isVisible()) return;
  if (!keep && editRow_ >= 1) SetChannelNameFromEdit(state_.Data(), state_.View().Traces, editRow_, editOriginal_);
  // Taken back, or typed as it was: no change.
  const int channel = ChannelOfRow(state_.View().Traces, editRow_);
  if (channel >= 1 && state_.View().Traces.Name(channel) == editOriginal_) {
    renameEdit_.Cancel(state_.Data());
  }
  editRow_ = 0;
  editor_->hide();
  setFocus();
  update();
}

bool ChannelGrid::eventFilter(QObject* watched, QEvent* event) {
  if (watched == editor_) {
    if (event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Escape) {
        FinishEditing(false);
        return true;
      }
      if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        FinishEditing(true);
        return true;
      }
    } else if (event->type() == QEvent::FocusOut) {
      FinishEditing(true);
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace korvalog
