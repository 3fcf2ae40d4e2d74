#include "chart/qt/handle.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/qt/kit_look.h"

namespace korvalog {

int ClampHandle(int min, int max, int v) {
  if (min == 0 && max == 0) return v;
  if (v < min) return min;
  if (v > max) return max;
  return v;
}

void PaintHandleBevel(QPainter& p, const QRect& rect, const QPalette& pal) {
  p.fillRect(rect, SystemColourOf(SystemColour::ButtonFace, pal));
  const QColor light = SystemColourOf(SystemColour::ButtonHighlight, pal);
  const QColor dark = SystemColourOf(SystemColour::ButtonShadow, pal);
  // Two raised rings, drawn as filled one-pixel rectangles so they stay
  // sharp at any device pixel ratio.
  for (int i = 0; i < 2; ++i) {
    const int l = rect.left() + i, t = rect.top() + i, r = rect.right() - i, b = rect.bottom() - i;
    if (r < l || b < t) break;
    p.fillRect(QRect(l, t, 1, b - t + 1), light);
    p.fillRect(QRect(l, t, r - l + 1, 1), light);
    p.fillRect(QRect(r, t, 1, b - t + 1), dark);
    p.fillRect(QRect(l, b, r - l + 1, 1), dark);
  }
}

THandle::THandle(QWidget* parent) : QWidget(parent) {
  setCursor(CursorShapeForFlags());
}

void THandle::SetAllowHorz(bool on) {
  allowHorz_ = on;
  update();
}

void THandle::SetAllowVert(bool on) {
  allowVert_ = on;
  update();
}

void THandle::SetPosX(int x) { move(x - width() / 2, y()); }
void THandle::SetPosY(int y) { move(x(), y - height() / 2); }

void THandle::SetSize(int half) {
  const int side = 2 * half;
  resize(side, side);
}

Qt::CursorShape THandle::CursorShapeForFlags() const {
  switch (2 * (allowVert_ ? 1 : 0) + (allowHorz_ ? 1 : 0)) {
    case 1: return Qt::SizeHorCursor;
    case 2: return Qt::SizeVerCursor;
    case 3: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
  }
}

void THandle::paintEvent(QPaintEvent*) {
  QPainter p(this);
  PaintHandleBevel(p, rect(), palette());
  setCursor(CursorShapeForFlags());
}

void THandle::mousePressEvent(QMouseEvent* event) {
  // Qt keeps sending moves and the release to the pressed widget, also
  // outside it, until the button is let go.
  anchor_ = event->globalPosition().toPoint();
  dragging_ = true;
}

void THandle::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return;
  const QPoint p = event->globalPosition().toPoint();
  if (allowHorz_) SetPosX(ClampHandle(minX_, maxX_, PosX() + (p.x() - anchor_.x())));
  if (allowVert_) SetPosY(ClampHandle(minY_, maxY_, PosY() + (p.y() - anchor_.y())));
  // The anchor follows the pointer, not the clamped handle, so moving back
  // from beyond a limit moves the handle back at once.
  anchor_ = p;
  emit OnChanging(this);
}

void THandle::mouseReleaseEvent(QMouseEvent*) {
  emit OnChange(this);
  dragging_ = false;
}

}  // namespace korvalog
