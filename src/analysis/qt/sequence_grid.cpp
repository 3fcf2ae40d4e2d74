#include "analysis/qt/sequence_grid.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "analysis/qt/event_pictures.h"
#include "core/channel_colours.h"
#include "ui/qt/kit_look.h"
#include "ui/qt/text_drawing.h"

namespace korvalog {
namespace {

QFont BoldOf(QFont font) {
  font.setBold(true);
  return font;
}

}  // namespace

TSequenceGrid::TSequenceGrid(SequenceEditor& editor, const LoggerSettings& settings, QWidget* parent)
    : QWidget(parent), editor_(editor), settings_(settings), edit_(new QLineEdit(this)) {
  setFont(KitFont());
  setFocusPolicy(Qt::StrongFocus);
  headerHeight_ = QFontMetrics(BoldOf(font())).horizontalAdvance(QStringLiteral("Max Time")) + 4;
  setFixedSize(sizeHint());
  for (int i = 0; i < 2; ++i) eventPictures_[i] = EventPicture(i);
  edit_->hide();
  edit_->setFrame(false);
  edit_->installEventFilter(this);
  connect(edit_, &QLineEdit::textEdited, this,
          [this](const QString& text) { emit EditTextChanged(row_, column_, text); });
}

QSize TSequenceGrid::sizeHint() const {
  return {ColumnLeft(kSequenceGridColumns), RowTop(kSequenceGridRows)};
}

int TSequenceGrid::ColumnLeft(int column) const {
  int x = 0;
  for (int c = 0; c < column; ++c) x += kColumnWidths[c] + kLine;
  return x;
}

int TSequenceGrid::RowTop(int row) const {
  return row <= 0 ? 0 : headerHeight_ + kLine + (row - 1) * (kRowHeight + kLine);
}

QRect TSequenceGrid::CellRect(int row, int column) const {
  const int h = row == 0 ? headerHeight_ : kRowHeight;
  return {ColumnLeft(column), RowTop(row), kColumnWidths[column], h};
}

bool TSequenceGrid::CellAt(QPoint p, int& row, int& column) const {
  for (int r = 0; r < kSequenceGridRows; ++r) {
    for (int c = 0; c < kSequenceGridColumns; ++c) {
      if (CellRect(r, c).contains(p)) {
        row = r;
        column = c;
        return true;
      }
    }
  }
  return false;
}

int TSequenceGrid::RowUnder(int y) const {
  if (y < RowTop(1)) return 1;
  return std::clamp((y - RowTop(1)) / (kRowHeight + kLine) + 1, 1, kSequenceRows);
}

void TSequenceGrid::SetCurrent(int row, int column) {
  row_ = std::clamp(row, 1, kSequenceRows);
  column_ = std::clamp(column, 1, kSequenceGridColumns - 1);
  update();
}

void TSequenceGrid::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), SystemColourOf(SystemColour::ButtonShadow, palette()));
  for (int r = 0; r < kSequenceGridRows; ++r)
    for (int c = 0; c < kSequenceGridColumns; ++c) DrawCell(p, r, c);
  if (dragFrom_ != 0 && dragTo_ != dragFrom_) {
    // Where the dragged row will go: a bar on the edge it will take.
    const int y = dragTo_ > dragFrom_ ? RowTop(dragTo_) + kRowHeight : RowTop(dragTo_) - kLine;
    p.fillRect(0, std::max(0, y - 1), width(), 3, Qt::black);
  }
}

void TSequenceGrid::DrawCell(QPainter& p, int row, int column) {
  const QRect cell = CellRect(row, column);
  const bool fixed = row == 0 || column == kSeqColState;
  const bool current = row == row_ && column == column_;
  p.fillRect(cell, SystemColourOf(fixed ? SystemColour::ButtonFace : SystemColour::Window, palette()));
  if (current && hasFocus()) p.fillRect(cell.adjusted(1, 1, -1, -1), palette().color(QPalette::AlternateBase));

  const SequenceCellView view = editor_.Cell(row, column);
  p.setFont(view.bold ? BoldOf(font()) : font());
  p.setPen(SystemColourOf(SystemColour::WindowText, palette()));
  p.save();
  p.setClipRect(cell);
  const int textTop = cell.top() + (cell.height() - p.fontMetrics().height()) / 2;
  if (row == 0) {
    TextOutVertical(p, cell.left() + (cell.width() - p.fontMetrics().height()) / 2, cell.bottom() - 2, view.text);
  } else if (view.eventImage == 0 || view.eventImage == 1) {
    const QImage& picture = eventPictures_[view.eventImage];
    p.drawImage(cell.left() + (cell.width() - picture.width()) / 2, cell.top() + (cell.height() - picture.height()) / 2,
                picture);
  } else if (column == kSeqColState) {
    const int w = p.fontMetrics().horizontalAdvance(KitText(view.text));
    TextOutAt(p, cell.left() + (cell.width() - w) / 2, textTop, view.text);
  } else if (column >= kSeqColMinTime) {
    TextOutRight(p, cell.right() - 3, textTop, view.text);
  } else if (view.channel != 0) {
    DrawChannelName(p, palette(), ChannelColour(view.channel, settings_.ColourMode), cell.left() + 3, textTop,
                    view.text);
  } else {
    TextOutAt(p, cell.left() + 3, textTop, view.text);
  }
  p.restore();
  if (current && hasFocus()) {
    p.setPen(QPen(SystemColourOf(SystemColour::WindowText, palette()), 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(cell.adjusted(0, 0, -1, -1));
  }
}

void TSequenceGrid::mousePressEvent(QMouseEvent* event) {
  activatePending_ = false;
  if (event->button() != Qt::LeftButton) return;
  int row = 0, column = 0;
  if (!CellAt(event->position().toPoint(), row, column) || row == 0) return;
  if (Editing()) EndEdit(true);
  setFocus(Qt::MouseFocusReason);
  if (column == kSeqColState) {
    dragFrom_ = dragTo_ = row;
    return;
  }
  SetCurrent(row, column);
}

void TSequenceGrid::mouseMoveEvent(QMouseEvent* event) {
  if (dragFrom_ == 0) return;
  const int to = RowUnder(event->position().toPoint().y());
  if (to != dragTo_) {
    dragTo_ = to;
    update();
  }
}

void TSequenceGrid::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  if (activatePending_) {
    activatePending_ = false;
    Activate(row_, column_);
    return;
  }
  if (dragFrom_ == 0) return;
  const int from = dragFrom_;
  const int to = RowUnder(event->position().toPoint().y());
  dragFrom_ = dragTo_ = 0;
  update();
  if (to != from) {
    if (row_ == from) row_ = to;
    emit RowMoved(from, to);
  }
}

void TSequenceGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  int row = 0, column = 0;
  if (!CellAt(event->position().toPoint(), row, column) || row == 0 || column == kSeqColState) return;
  SetCurrent(row, column);
  // Acted on when the button comes up: a list opened now would take that
  // release as a click outside it and close again.
  activatePending_ = true;
}

void TSequenceGrid::Activate(int row, int column) {
  if (SequenceEditor::CanEditText(row, column))
    StartEdit();
  else
    emit CellActivated(row, column);
}

void TSequenceGrid::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: Activate(row_, column_); return;
    case Qt::Key_F2:
      if (SequenceEditor::CanEditText(row_, column_)) StartEdit();
      return;
    case Qt::Key_Up: SetCurrent(row_ - 1, column_); return;
    case Qt::Key_Down: SetCurrent(row_ + 1, column_); return;
    case Qt::Key_Left: SetCurrent(row_, column_ - 1); return;
    case Qt::Key_Right: SetCurrent(row_, column_ + 1); return;
    default: break;
  }
  // Typing into a time cell starts its edit with the typed text.
  const QString typed = event->text();
  if (!typed.isEmpty() && typed.at(0).isPrint() && SequenceEditor::CanEditText(row_, column_)) {
    StartEdit(&typed);
    return;
  }
  QWidget::keyPressEvent(event);
}

void TSequenceGrid::StartEdit(const QString* typed) {
  if (!SequenceEditor::CanEditText(row_, column_)) return;
  editOriginal_ = KitText(editor_.EditText(row_, column_));
  emit EditStarted();
  edit_->setGeometry(CellRect(row_, column_));
  edit_->setText(editOriginal_);
  edit_->show();
  edit_->setFocus(Qt::OtherFocusReason);
  if (typed != nullptr) {
    edit_->setText(*typed);
    emit EditTextChanged(row_, column_, *typed);
  } else {
    edit_->selectAll();
  }
}

void TSequenceGrid::EndEdit(bool keep) {
  if (!Editing()) return;
  if (!keep && edit_->text() != editOriginal_) {
    edit_->setText(editOriginal_);
    emit EditTextChanged(row_, column_, editOriginal_);
  }
  emit EditEnded(keep);
  edit_->hide();
  setFocus(Qt::OtherFocusReason);
  update();
}

bool TSequenceGrid::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edit_) {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        EndEdit(key != Qt::Key_Escape);
        return true;
      }
    } else if (event->type() == QEvent::FocusOut && edit_->isVisible()) {
      edit_->hide();
      update();
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace korvalog
