#include "ui/qt/nice_label.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>

#include "ui/qt/kit_look.h"

namespace korvalog {

std::string MarkupFromLines(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (char c : text) {
    if (c != '\n') {
      out += c;
      continue;
    }
    if (!out.empty() && out.back() == '\r') out.pop_back();
    out += kMarkupEscape;
    out += 'n';
  }
  return out;
}

TNiceLabel::TNiceLabel(QWidget* parent, MarkupStyle style) : QWidget(parent), style_(style) {}

void TNiceLabel::SetCaption(std::string_view caption) {
  caption_ = MarkupFromLines(caption);
  Refit();
  update();
}

QString TNiceLabel::CaptionText() const { return KitText(caption_); }
void TNiceLabel::SetCaptionText(const QString& caption) { SetCaption(KitBytes(caption)); }

void TNiceLabel::SetAutoSize(bool on) {
  autoSize_ = on;
  SetCaption(std::string(caption_));
}

void TNiceLabel::SetGap(int gap) {
  gap_ = std::clamp(gap, 0, 65535);
  SetCaption(std::string(caption_));
}

void TNiceLabel::SetBorder(TBorder border) {
  border_ = border;
  SetCaption(std::string(caption_));
}

void TNiceLabel::SetAlignment(Qt::Alignment alignment) {
  alignment_ = alignment;
  SetCaption(std::string(caption_));
}

void TNiceLabel::SetStyle(const MarkupStyle& style) {
  style_ = style;
  SetCaption(std::string(caption_));
}

MarkupExtent TNiceLabel::Measure() const {
  return MeasureMarkupText(font(), this, 0, 0, gap_, caption_, style_);
}

void TNiceLabel::Refit() {
  if (!autoSize_) return;
  const MarkupExtent extent = Measure();
  const int width = std::max(extent.right, 4);
  const int height = std::max(extent.bottom, 4);
  if (width != this->width() || height != this->height()) resize(width, height);
}

void TNiceLabel::changeEvent(QEvent* event) {
  // A new font changes every measurement.
  if (event->type() == QEvent::FontChange) {
    Refit();
    update();
  }
  QWidget::changeEvent(event);
}

void TNiceLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  emit Painting(&painter);
  painter.setBackgroundMode(Qt::TransparentMode);
  painter.setFont(font());
  painter.setPen(palette().color(QPalette::WindowText));
  const MarkupExtent extent = Measure();
  int x = 0;
  if (alignment_ & Qt::AlignRight) {
    x = width() - extent.right;
  } else if (alignment_ & Qt::AlignHCenter) {
    x = (width() - extent.right) / 2;
  }
  DrawMarkupText(painter, x, 0, gap_, caption_, style_);
  // The frame follows the text wherever the alignment put it.
  DrawBevelFrame(painter, x, 0, border_, extent.bottom - 1, x + extent.right - 1, palette());
}

}  // namespace korvalog
