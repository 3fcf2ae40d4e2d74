#include "chart/qt/chart_input.h"

#include <QCursor>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <QWheelEvent>
#include <cstdlib>

#include "chart/grid_edits.h"
#include "chart/pointer_readout.h"
#include "chart/qt/channel_grid.h"
#include "ui/qt/kit_look.h"

namespace korvalog {
namespace {

constexpr int kLineGrip = 2;     // as the grid's own column lines
constexpr double kPanStep = 0.1;  // Left, Right and a wheel notch with Shift

}  // namespace

ChartInput::ChartInput(ChartNavigator& navigator, ChannelGrid& grid, QObject* parent)
    : QObject(parent), navigator_(navigator), grid_(grid) {
  grid_.installEventFilter(this);
}

void ChartInput::Changed(bool changed) {
  if (changed && onChanged_) onChanged_();
}

bool ChartInput::OverWaves(int x) const {
  const GridLayout& l = grid_.Layout();
  const int left = l.ColumnLeft(4);
  return x >= left && x < left + l.widths[4];
}

bool ChartInput::OnTimeScale(int x, int y) const {
  const GridLayout& l = grid_.Layout();
  const int line = l.ColumnLeft(4) + l.widths[4];
  return y >= GridLayout::kFrame && y < l.RowsTop() && OverWaves(x) && std::abs(x - line) > kLineGrip &&
         std::abs(x - (l.ColumnLeft(4) - 1)) > kLineGrip;
}

bool ChartInput::PointerTime(double& t) const {
  if (hoverX_ < 0 || !navigator_.HasData()) return false;
  t = navigator_.TimeAtWaveX(hoverX_);
  return true;
}

bool ChartInput::DropMarker() {
  double t = 0.0;
  if (!navigator_.HasData()) return false;
  if (!PointerTime(t)) t = navigator_.State().CursorTime(MeasuringCursor::First);
  CaptureData& data = navigator_.State().Data();
  if (!navigator_.State().View().Markers.Add(t)) return false;
  data.DataModified.store(1, std::memory_order_release);
  grid_.update();
  emit MarkersChanged();
  return true;
}

bool ChartInput::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &grid_) return QObject::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::Wheel: return Wheel(static_cast<QWheelEvent*>(event));
    case QEvent::MouseButtonPress: return Press(static_cast<QMouseEvent*>(event));
    case QEvent::MouseMove: return Move(static_cast<QMouseEvent*>(event));
    case QEvent::MouseButtonRelease: return Release(static_cast<QMouseEvent*>(event));
    case QEvent::KeyPress: return Key(static_cast<QKeyEvent*>(event));
    case QEvent::ToolTip: return ToolTip(event);
    case QEvent::Enter: {
      // A jump onto the grid brings no move: its reading starts here.
      const QPointF at = static_cast<QEnterEvent*>(event)->position();
      Hover(static_cast<int>(at.x()), static_cast<int>(at.y()));
      return false;
    }
    case QEvent::Leave:
      hoverX_ = -1;
      if (!reading_.isEmpty()) emit PointerReading(reading_ = QString());
      return false;
    case QEvent::FocusOut:
    case QEvent::FocusIn: {
      // A dialog or another window took the keys, or gave them back (to the
      // grid, from a cell's editor the dialog closed): the cell must be
      // chosen again before typing goes into it.
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) cellChosen_ = false;
      return false;
    }
    default: return false;
  }
}

bool ChartInput::Wheel(QWheelEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers();
  if (!(mods & (Qt::ControlModifier | Qt::ShiftModifier))) return false;  // the rows scroll
  // Some systems turn Shift+wheel into a sideways wheel.
  const QPoint delta = event->angleDelta();
  const double notches = (delta.y() != 0 ? delta.y() : delta.x()) / 120.0;
  if (notches == 0) return true;
  const int x = static_cast<int>(event->position().x());
  if (mods & Qt::ControlModifier) {
    const double t = OverWaves(x) ? navigator_.TimeAtWaveX(x) : (navigator_.ShownStart() + navigator_.ShownEnd()) / 2;
    Changed(navigator_.ZoomAround(t, notches));
  } else {
    Changed(navigator_.Pan(-notches * kPanStep));
  }
  Hover(x, static_cast<int>(event->position().y()));
  return true;
}

bool ChartInput::Press(QMouseEvent* event) {
  cellChosen_ = true;
  const QPoint pos = event->position().toPoint();
  const bool middle = event->button() == Qt::MiddleButton;
  if (!middle && !(event->button() == Qt::LeftButton && OnTimeScale(pos.x(), pos.y()))) return false;
  grid_.setFocus(Qt::MouseFocusReason);
  if (!navigator_.CanMove()) return true;
  navigator_.BeginDrag();
  dragging_ = true;
  dragStartX_ = pos.x();
  grid_.setCursor(Qt::ClosedHandCursor);
  return true;
}

bool ChartInput::Move(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (dragging_) {
    Changed(navigator_.DragBy(pos.x() - dragStartX_));
    return true;
  }
  Hover(pos.x(), pos.y());
  return false;
}

bool ChartInput::Release(QMouseEvent* event) {
  if (!dragging_) return false;
  if (event->buttons() & (Qt::MiddleButton | Qt::LeftButton)) return true;
  dragging_ = false;
  navigator_.EndDrag();
  grid_.setCursor(Qt::ArrowCursor);
  return true;
}

void ChartInput::Hover(int x, int y) {
  const GridLayout& l = grid_.Layout();
  const int row = l.RowAt(y, grid_.TopRow());
  const ChartState& s = navigator_.State();
  QString text;
  hoverX_ = OverWaves(x) ? x : -1;
  if (hoverX_ >= 0 && row >= 1 && navigator_.HasData() && s.WaveWidth > 0) {
    const int channel = ChannelOfRow(s.View().Traces, row);
    const double t = navigator_.TimeAtWaveX(x);
    if (channel > 0) {
      text = KitText(PointerReadoutText(s.View().Traces, channel, t, navigator_.Lookup().PulseAt(channel, t)));
    }
  }
  if (text != reading_) emit PointerReading(reading_ = text);
}

bool ChartInput::ToolTip(QEvent* event) {
  const auto* help = static_cast<QHelpEvent*>(event);
  const GridLayout& l = grid_.Layout();
  const int column = l.ColumnAt(help->pos().x());
  const int row = l.RowAt(help->pos().y(), grid_.TopRow());
  const TraceList& traces = navigator_.State().View().Traces;
  const int channel = row >= 1 && (column == 1 || column == 4) ? ChannelOfRow(traces, row) : 0;
  if (channel == 0) {
    QToolTip::hideText();
    event->ignore();
    return true;
  }
  const std::string name = navigator_.State().View().Traces.Name(channel);
  QToolTip::showText(help->globalPos(), QString::number(channel) + QStringLiteral(" ") + KitText(name), &grid_);
  return true;
}

void ChartInput::HoverAtPointer() {
  // Where the pointer is now, moved or not since the last event (a dialog
  // may have closed under it, or it jumped there).
  const QPoint at = grid_.mapFromGlobal(QCursor::pos());
  if (grid_.rect().contains(at)) {
    Hover(at.x(), at.y());
  } else if (hoverX_ >= 0 || !reading_.isEmpty()) {
    hoverX_ = -1;
    emit PointerReading(reading_ = QString());
  }
}

bool ChartInput::Key(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
  const int column = grid_.CurrentColumn();
  HoverAtPointer();
  const bool textCell = column == 1 || column == 3;
  // In the name and Search cells a typed character keeps its meaning there,
  // when the cell was chosen and the pointer is not on the waveforms.
  const bool typing = textCell && cellChosen_ && hoverX_ < 0;
  switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_F2:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      cellChosen_ = true;  // the grid moves to the cell or opens it
      return false;
    case Qt::Key_Left:
    case Qt::Key_Right: {
      const bool forward = event->key() == Qt::Key_Right;
      if (mods == Qt::ControlModifier) {
        Changed(navigator_.StepEdge(ChannelOfRow(navigator_.State().View().Traces, grid_.CurrentRow()), forward));
        return true;
      }
      if (mods != Qt::NoModifier) return false;
      Changed(navigator_.Pan(forward ? kPanStep : -kPanStep));
      return true;
    }
    case Qt::Key_Home:
    case Qt::Key_End: {
      const bool end = event->key() == Qt::Key_End;
      if (mods == Qt::ControlModifier) {  // the first or last row, as Home and End were
        cellChosen_ = true;
        grid_.SetCurrentCell(column, end ? kChannelCount : 1);
        return true;
      }
      if (mods != Qt::NoModifier) return false;
      Changed(end ? navigator_.ToCaptureEnd() : navigator_.ToCaptureStart());
      return true;
    }
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
      // The columns, now that Left and Right move in time.
      const int to = column + (event->key() == Qt::Key_Tab ? 1 : -1);
      if (to < 1 || to >= kGridColumns) return false;
      cellChosen_ = true;
      grid_.SetCurrentCell(to, grid_.CurrentRow());
      return true;
    }
    case Qt::Key_Backspace:
      if (onPreviousZoom_) onPreviousZoom_();
      return true;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
    case Qt::Key_Minus:
      if (typing || (mods & (Qt::ControlModifier | Qt::AltModifier))) return false;
      Changed(navigator_.ZoomCentre(event->key() == Qt::Key_Minus ? -kKeyNotches : kKeyNotches));
      return true;
    case Qt::Key_M:
      if (typing || mods != Qt::NoModifier) return false;
      DropMarker();
      return true;
    default: {
      // A character for a cell nobody chose (the one a closing dialog left
      // the grid on) is not typed into it.
      const QString text = event->text();
      const bool character = !text.isEmpty() && text.at(0).isPrint() && !(mods & (Qt::ControlModifier | Qt::AltModifier));
      return textCell && character && !cellChosen_;
    }
  }
}

}  // namespace korvalog
