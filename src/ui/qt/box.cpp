#include "ui/qt/box.h"

#include <QPainter>

#include "ui/qt/kit_look.h"

namespace korvalog {

TBox::TBox(QWidget* parent) : QWidget(parent) {}

void TBox::SetLineTop(bool on) { top_ = on; update(); }
void TBox::SetLineBottom(bool on) { bottom_ = on; update(); }
void TBox::SetLineLeft(bool on) { left_ = on; update(); }
void TBox::SetLineRight(bool on) { right_ = on; update(); }

void TBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int w = width();
  const int h = height();
  // Each side is a shadow line with a highlight line one pixel below and to
  // the right of it: an etched groove. Lines end one pixel short, as the
  // end point of a line segment is not part of it.
  const auto sides = [&](int offset, int inset) {
    const int l = offset, t = offset, r = w - inset, b = h - inset;
    if (top_) painter.drawLine(l, t, r - 1, t);
    if (right_) painter.drawLine(r, t, r, b - 1);
    if (bottom_) painter.drawLine(r, b, l + 1, b);
    if (left_) painter.drawLine(l, b, l, t + 1);
  };
  painter.setPen(QPen(SystemColourOf(SystemColour::ButtonHighlight, palette()), 1));
  sides(1, 1);
  painter.setPen(QPen(SystemColourOf(SystemColour::ButtonShadow, palette()), 1));
  sides(0, 2);
}

}  // namespace korvalog
