#include "ui/qt/up_down_arrows.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

#include "ui/qt/btn_transparent.h"
#include "ui/qt/kit_look.h"

namespace korvalog {
namespace {

constexpr int kFirstRepeatMs = 400;
constexpr int kRepeatMs = 60;

}  // namespace

TUpDownArrows::TUpDownArrows(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::NoFocus);
  repeat_.setSingleShot(false);
  connect(&repeat_, &QTimer::timeout, this, &TUpDownArrows::Repeat);
}

void TUpDownArrows::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QColor face = SystemColourOf(SystemColour::ButtonFace, palette());
  const QColor shadow = SystemColourOf(SystemColour::ButtonShadow, palette());
  const int half = height() / 2;
  const QRect halves[2] = {QRect(0, 0, width(), half), QRect(0, half, width(), height() - half)};
  for (int i = 0; i < 2; ++i) {
    const QRect r = halves[i];
    const bool pressed = held_ == (i == 0 ? 1 : -1);
    painter.fillRect(r, face);
    DrawButtonBevel(painter, r, 1, pressed, palette());
    // A small solid triangle pointing up or down, centred in its half.
    const int cx = r.center().x() + (pressed ? 1 : 0);
    const int cy = r.center().y() + (pressed ? 1 : 0);
    const int s = std::max(2, std::min(r.width(), r.height()) / 4);
    const QPolygon arrow = i == 0 ? QPolygon({QPoint(cx - s, cy + s / 2), QPoint(cx + s, cy + s / 2),
                                              QPoint(cx, cy - s / 2 - 1)})
                                  : QPolygon({QPoint(cx - s, cy - s / 2), QPoint(cx + s, cy - s / 2),
                                              QPoint(cx, cy + s / 2 + 1)});
    painter.setPen(isEnabled() ? palette().color(QPalette::WindowText) : shadow);
    painter.setBrush(painter.pen().color());
    painter.drawPolygon(arrow);
    painter.setBrush(Qt::NoBrush);
  }
}

void TUpDownArrows::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  held_ = event->position().y() < height() / 2 ? 1 : -1;
  update();
  emit Step(held_);
  repeat_.start(kFirstRepeatMs);
}

void TUpDownArrows::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  held_ = 0;
  repeat_.stop();
  update();
}

void TUpDownArrows::Repeat() {
  if (held_ == 0) {
    repeat_.stop();
    return;
  }
  repeat_.setInterval(kRepeatMs);
  emit Step(held_);
}

}  // namespace korvalog
