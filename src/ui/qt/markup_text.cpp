#include "ui/qt/markup_text.h"

#include <QFontMetrics>
#include <QPolygon>
#include <algorithm>

#include "base/byte_text.h"
#include "ui/qt/kit_look.h"

namespace korvalog {
namespace {

int FontSize(const QFont& font) { return font.pixelSize() > 0 ? font.pixelSize() : font.pointSize(); }

void SetFontSize(QFont& font, int size, bool pixels) {
  size = std::max(size, 1);
  if (pixels) {
    font.setPixelSize(size);
  } else {
    font.setPointSize(size);
  }
}

// One call's walk over the text. Measuring and drawing share every step, so
// the extents of both agree; only the painting itself is skipped.
class MarkupRenderer {
 public:
  MarkupRenderer(QPainter* painter, const QFont& font, QColor colour, const QPaintDevice* device,
                 const MarkupStyle& style)
      : painter_(painter),
        linePen_(painter ? painter->pen() : QPen()),
        device_(device),
        entryFont_(font),
        font_(font),
        baseColour_(colour),
        colour_(colour) {
    font_.setBold(false);
    font_.setItalic(false);
    font_.setUnderline(false);
    pixels_ = font_.pixelSize() > 0;
    baseSize_ = FontSize(font_);
    baseLineHeight_ = Metrics().height() + 1;
    lineHeight_ = baseLineHeight_;
    lineHeightSoFar_ = baseLineHeight_;
    tabStep_ = Metrics().horizontalAdvance(QLatin1Char('A')) * style.tabWidth;
  }

  MarkupExtent Run(int x, int y, int margin, std::string_view text) {
    const int left = x + margin;
    penX_ = left;
    penY_ = y + margin;
    int right = 0;
    const int length = static_cast<int>(text.size());
    int p = 1;
    while (p <= length) {
      int e = FindCharFrom(p, kMarkupEscape, text);
      if (e == 0) e = length + 1;
      if (e > p) DrawRun(text.substr(p - 1, e - p));
      right = std::max(right, penX_ + margin);
      if (e < length) ApplyCode(UpCaseLetter(text[e]), left);
      p = e + 2;
    }
    return {right, penY_ + lineHeightSoFar_ + margin};
  }

  QFont FinalFont() const {
    QFont font = font_;
    RestoreSize(font);
    return font;
  }

 private:
  QFontMetrics Metrics() const { return device_ ? QFontMetrics(font_, device_) : QFontMetrics(font_); }

  void DrawRun(std::string_view bytes) {
    const QString run = KitText(bytes);
    const QFontMetrics metrics = Metrics();
    const int width = metrics.horizontalAdvance(run);
    if (painter_) {
      painter_->setFont(font_);
      if (inverse_) {
        const QColor paper = painter_->brush().style() != Qt::NoBrush
                                 ? painter_->brush().color()
                                 : painter_->background().color();
        painter_->fillRect(penX_, penY_, width, metrics.height(), colour_);
        painter_->setPen(paper);
      } else {
        painter_->setPen(colour_);
      }
      painter_->drawText(penX_, penY_ + metrics.ascent(), run);
      painter_->setPen(colour_);
    }
    penX_ += width;
    lineHeightSoFar_ = std::max(lineHeightSoFar_, lineHeight_);
  }

  // The entry size exactly, fractions of a point included.
  void RestoreSize(QFont& font) const {
    if (pixels_) {
      font.setPixelSize(entryFont_.pixelSize());
    } else {
      font.setPointSizeF(entryFont_.pointSizeF());
    }
  }

  void SetSize(int size) {
    SetFontSize(font_, size, pixels_);
    lineHeight_ = Metrics().height();
  }

  void ApplyCode(char code, int left) {
    if (code == '0') {
      colour_ = baseColour_;
    } else if (const auto colour = MarkupCodeColour(code)) {
      colour_ = *colour;
    }
    switch (code) {
      case 'B': font_.setBold(!font_.bold()); break;
      case 'I': font_.setItalic(!font_.italic()); break;
      case 'U': font_.setUnderline(!font_.underline()); break;
      case 'H': inverse_ = !inverse_; break;
      case 'N':
        penX_ = left;
        penY_ += lineHeightSoFar_;
        lineHeightSoFar_ = baseLineHeight_;
        tabCount_ = 0;
        break;
      case 'T':
        // Columns count from the left edge, so a long cell moves the pen back.
        ++tabCount_;
        penX_ = left + tabCount_ * tabStep_;
        break;
      case 'D': DrawDelta(); break;
      case '[':
        RestoreSize(font_);
        lineHeight_ = baseLineHeight_;
        break;
      case ']': SetSize(2 * baseSize_); break;
      case '^': SetSize((2 * baseSize_) / 3); break;
      case '|': SetSize((3 * baseSize_) / 2); break;
      default: break;
    }
  }

  void DrawDelta() {
    const int s = (3 * lineHeight_) / 8;
    const int a = penY_ + (4 * lineHeight_) / 5;
    if (painter_) {
      painter_->setPen(linePen_);
      painter_->drawPolyline(QPolygon({QPoint(penX_, a), QPoint(penX_ + s, a - 2 * s),
                                       QPoint(penX_ + 2 * s, a), QPoint(penX_, a)}));
      painter_->setPen(colour_);
    }
    penX_ += 2 * s + 1;
  }

  QPainter* painter_;
  QPen linePen_;  // the canvas's pen on entry: colour codes change the text only
  const QPaintDevice* device_;
  QFont entryFont_;
  QFont font_;
  bool pixels_ = true;
  int baseSize_ = 0;
  QColor baseColour_;
  QColor colour_;
  int baseLineHeight_ = 0;
  int lineHeight_ = 0;
  int lineHeightSoFar_ = 0;
  int tabStep_ = 0;
  int tabCount_ = 0;
  bool inverse_ = false;
  int penX_ = 0;
  int penY_ = 0;
};

}  // namespace

std::optional<QColor> MarkupCodeColour(char code) {
  static const QColor kTable[] = {
      {128, 0, 0},   {0, 128, 0},   {128, 128, 0}, {0, 0, 128},     {128, 0, 128},
      {0, 128, 128}, {128, 128, 128}, {192, 192, 192}, {255, 0, 0},   {0, 255, 0},
      {255, 255, 0}, {0, 0, 255},   {255, 0, 255}, {0, 255, 255},   {255, 255, 255},
  };
  if (code < '1' || code > '?') return std::nullopt;
  return kTable[code - '1'];
}

MarkupExtent DrawMarkupText(QPainter& painter, int x, int y, int margin, std::string_view text,
                            const MarkupStyle& style) {
  const QPen entryPen = painter.pen();
  MarkupRenderer renderer(&painter, painter.font(), entryPen.color(), painter.device(), style);
  const MarkupExtent extent = renderer.Run(x, y, margin, text);
  painter.setFont(renderer.FinalFont());
  painter.setPen(entryPen);
  return extent;
}

MarkupExtent MeasureMarkupText(const QFont& font, const QPaintDevice* device, int x, int y, int margin,
                               std::string_view text, const MarkupStyle& style) {
  MarkupRenderer renderer(nullptr, font, QColor(), device, style);
  return renderer.Run(x, y, margin, text);
}

void DrawBevelFrame(QPainter& painter, int x0, int y0, TBorder style, int y1, int x1,
                    const QPalette& palette) {
  if (style == bNone) return;
  QColor first = SystemColourOf(SystemColour::ButtonShadow, palette);
  QColor second = SystemColourOf(SystemColour::Window, palette);
  if (style == bRaised) std::swap(first, second);
  const QPen entryPen = painter.pen();
  painter.setPen(QPen(first, 1));
  DrawKitLine(painter, x0, y1, x0, y0);
  DrawKitLine(painter, x0, y0, x1, y0);
  painter.setPen(QPen(second, 1));
  DrawKitLine(painter, x1, y0, x1, y1);
  DrawKitLine(painter, x1, y1, x0, y1);
  painter.setPen(entryPen);
}

}  // namespace korvalog
