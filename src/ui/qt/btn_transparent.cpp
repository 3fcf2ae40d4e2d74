#include "ui/qt/btn_transparent.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "ui/qt/kit_look.h"

namespace korvalog {
namespace {

QImage WithoutLowerLeftColour(const QImage& glyph) {
  if (glyph.isNull()) return {};
  QImage shown = glyph.convertToFormat(QImage::Format_ARGB32);
  const QRgb key = shown.pixel(0, shown.height() - 1);
  for (int y = 0; y < shown.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(shown.scanLine(y));
    for (int x = 0; x < shown.width(); ++x) {
      if (line[x] == key) line[x] = qRgba(0, 0, 0, 0);
    }
  }
  return shown;
}

}  // namespace

void DrawButtonBevel(QPainter& painter, const QRect& rect, int rings, bool down,
                     const QPalette& palette) {
  const QColor highlight = SystemColourOf(SystemColour::ButtonHighlight, palette);
  const QColor shadow = SystemColourOf(SystemColour::ButtonShadow, palette);
  const QColor frame = SystemColourOf(SystemColour::WindowFrame, palette);
  const int left = rect.left();
  const int top = rect.top();
  const int right = rect.left() + rect.width() - 1;
  const int bottom = rect.top() + rect.height() - 1;
  for (int i = 0; i < rings; ++i) {
    const QColor dark = i == 0 ? frame : shadow;
    painter.setPen(QPen(down ? dark : highlight, 1));
    DrawKitLine(painter, left + i, bottom - i, left + i, top + i);
    DrawKitLine(painter, left + i, top + i, right - i, top + i);
    painter.setPen(QPen(down ? highlight : dark, 1));
    DrawKitLine(painter, right - i, top + i, right - i, bottom - i);
    DrawKitLine(painter, right - i, bottom - i, left + i, bottom - i);
  }
}

TBtnTransparent::TBtnTransparent(QWidget* parent) : QWidget(parent) {
  // The message box answers keys itself, so its buttons never take the focus.
  setFocusPolicy(Qt::NoFocus);
}

void TBtnTransparent::SetCaption(const QString& caption) { caption_ = caption; update(); }

void TBtnTransparent::SetGlyph(const QImage& glyph) {
  glyph_ = glyph.copy();
  shownGlyph_ = WithoutLowerLeftColour(glyph_);
  update();
}

void TBtnTransparent::SetDown(bool down) { down_ = down; update(); }
void TBtnTransparent::SetToggle(bool toggle) { toggle_ = toggle; update(); }
void TBtnTransparent::SetLayout(TButtonLayout layout) { layout_ = layout; update(); }
void TBtnTransparent::SetGroupIndex(int index) { groupIndex_ = index; update(); }
void TBtnTransparent::SetBevel(int rings) { bevel_ = std::max(rings, 0); update(); }

void TBtnTransparent::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange) update();
  QWidget::changeEvent(event);
}

void TBtnTransparent::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setFont(font());
  painter.setBackgroundMode(Qt::TransparentMode);
  const QFontMetrics metrics = painter.fontMetrics();
  const int W = width();
  const int H = height();
  const int tw = metrics.horizontalAdvance(caption_);
  const int th = caption_.isEmpty() ? 0 : metrics.height();
  const int gw = shownGlyph_.width();
  const int gh = shownGlyph_.height();
  const int gap = (tw > 0 && gw > 0) ? 4 : 0;
  const bool stacked = layout_ == blGlyphTop || layout_ == blGlyphBottom;
  const int contentWidth = stacked ? std::max(tw, gw) : gap + tw + gw;
  const int contentHeight = stacked ? gap + th + gh : std::max(th, gh);
  const int mx = (W - contentWidth) / 2;
  const int my = (H - contentHeight) / 2;

  QPoint glyphAt, captionAt;
  switch (layout_) {
    case blGlyphLeft:
      glyphAt = {mx, (H - gh) / 2};
      captionAt = {W - mx - tw, (H - th) / 2};
      break;
    case blGlyphRight:
      captionAt = {mx, (H - th) / 2};
      glyphAt = {W - mx - gw, (H - gh) / 2};
      break;
    case blGlyphTop:
      glyphAt = {(W - gw) / 2, my};
      captionAt = {(W - tw) / 2, H - my - th};
      break;
    case blGlyphBottom:
      captionAt = {(W - tw) / 2, my};
      glyphAt = {(W - gw) / 2, H - my - gh};
      break;
  }
  if (!shownGlyph_.isNull()) painter.drawImage(glyphAt, shownGlyph_);
  if (!caption_.isEmpty()) {
    painter.setPen(isEnabled() ? palette().color(QPalette::WindowText) : QColor(128, 128, 128));
    painter.drawText(captionAt.x(), captionAt.y() + metrics.ascent(), caption_);
  }
  DrawButtonBevel(painter, rect(), bevel_, down_, palette());
}

void TBtnTransparent::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  stayDown_ = groupIndex_ > 0 && !down_;
  SetDown(true);
  if (groupIndex_ != 0 && parentWidget()) {
    const auto mates = parentWidget()->findChildren<TBtnTransparent*>(Qt::FindDirectChildrenOnly);
    for (TBtnTransparent* mate : mates) {
      if (mate != this && mate->groupIndex_ == groupIndex_) mate->SetDown(false);
    }
  }
}

void TBtnTransparent::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  if (!stayDown_) SetDown(false);
  if (rect().contains(event->position().toPoint())) emit Clicked();
}

}  // namespace korvalog
