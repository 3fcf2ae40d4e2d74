#include "app/qt/app_glyphs.h"

#include <initializer_list>

#include <QPainter>
#include <QPainterPath>

namespace korvalog {
namespace {

constexpr int kGlyph = 16;

// Boxes outlined in `edge` and filled with `fill`, as most glyphs draw them.
void Boxes(QPainter& p, const QColor& edge, const QColor& fill, std::initializer_list<QRectF> boxes) {
  p.setPen(QPen(edge, 1));
  p.setBrush(fill);
  for (const QRectF& box : boxes) p.drawRect(box);
}

void RecordDot(QPainter& p) {
  p.setPen(QPen(QColor(110, 0, 0), 1));
  p.setBrush(QColor(220, 30, 30));
  p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 150, 150));
  p.drawEllipse(QRectF(5, 4.5, 3.5, 3));
}

void Folder(QPainter& p) {
  Boxes(p, QColor(110, 80, 0), QColor(220, 180, 60), {QRectF(1.5, 4.5, 12, 9), QRectF(1.5, 3.5, 5, 1)});
  QPainterPath flap;
  flap.moveTo(3.5, 7.5);
  flap.lineTo(15.5, 7.5);
  flap.lineTo(13.5, 13.5);
  flap.lineTo(1.5, 13.5);
  flap.closeSubpath();
  p.setBrush(QColor(250, 215, 110));
  p.drawPath(flap);
}

void DiskWithSelection(QPainter& p) {
  Boxes(p, QColor(0, 0, 60), QColor(30, 60, 170), {QRectF(3.5, 3.5, 9, 10)});
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawRect(QRectF(5.5, 4, 5, 3.5));
  // The selection's two handles either side.
  p.setPen(QPen(QColor(200, 0, 0), 1.5));
  p.drawLine(QPointF(1, 1), QPointF(1, 15));
  p.drawLine(QPointF(15, 1), QPointF(15, 15));
}

void Sliders(QPainter& p) {
  p.setPen(QPen(QColor(60, 60, 60), 1.5));
  for (int x : {4, 8, 12}) p.drawLine(QPointF(x, 2), QPointF(x, 14));
  Boxes(p, QColor(0, 0, 80), QColor(80, 130, 220),
        {QRectF(2.5, 9.5, 3, 3), QRectF(6.5, 3.5, 3, 3), QRectF(10.5, 7.5, 3, 3)});
}

void Bars(QPainter& p) {
  Boxes(p, QColor(0, 70, 0), QColor(40, 170, 60),
        {QRectF(2.5, 8.5, 3, 6), QRectF(6.5, 3.5, 3, 11), QRectF(10.5, 6.5, 3, 8)});
}

void TextLines(QPainter& p) {
  Boxes(p, QColor(70, 70, 70), Qt::white, {QRectF(2.5, 1.5, 11, 13)});
  p.setPen(QPen(QColor(0, 0, 0), 1));
  for (int y = 4; y <= 12; y += 2) p.drawLine(QPointF(4, y + 0.5), QPointF(12, y + 0.5));
}

// A sheet with a waveform and an arrow leaving it: the capture handed on.
void SheetWithArrow(QPainter& p) {
  Boxes(p, QColor(70, 70, 70), Qt::white, {QRectF(1.5, 1.5, 9, 13)});
  p.setPen(QPen(QColor(0, 120, 0), 1));
  p.drawPolyline(QPolygonF({QPointF(3, 10.5), QPointF(5.5, 10.5), QPointF(5.5, 5.5), QPointF(9, 5.5)}));
  p.setPen(QPen(QColor(0, 60, 160), 1.5));
  p.drawLine(QPointF(7, 12), QPointF(14, 12));
  p.drawLine(QPointF(11.5, 9.5), QPointF(14, 12));
  p.drawLine(QPointF(11.5, 14.5), QPointF(14, 12));
}

// A digital waveform across a tile, the program's mark.
void Waveform(QPainter& p, qreal s) {
  QPainterPath tile;
  tile.addRoundedRect(QRectF(0.5, 0.5, s - 1, s - 1), s * 0.18, s * 0.18);
  QLinearGradient fill(0, 0, 0, s);
  fill.setColorAt(0, QColor(40, 80, 170));
  fill.setColorAt(1, QColor(10, 30, 90));
  p.setPen(QPen(QColor(5, 15, 50), s / 32.0));
  p.setBrush(fill);
  p.drawPath(tile);
  const qreal lo = s * 0.70, hi = s * 0.30;
  const qreal xs[] = {0.12, 0.30, 0.30, 0.48, 0.48, 0.58, 0.58, 0.78, 0.78, 0.88};
  QPolygonF wave;
  bool high = false;
  wave << QPointF(s * xs[0], lo);
  for (int i = 1; i < 10; ++i) {
    if (i % 2 == 1) {
      wave << QPointF(s * xs[i], high ? hi : lo);
      high = !high;
    }
    wave << QPointF(s * xs[i], high ? hi : lo);
  }
  p.setPen(QPen(QColor(90, 240, 110), s / 12.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPolyline(wave);
}

QImage Transparent(int w, int h) {
  QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

}  // namespace

QImage ToolGlyphImage(ToolGlyph glyph) {
  QImage image = Transparent(kGlyph, kGlyph);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  switch (glyph) {
    case ToolGlyph::Capture: RecordDot(p); break;
    case ToolGlyph::Open: Folder(p); break;
    case ToolGlyph::SaveSelection: DiskWithSelection(p); break;
    case ToolGlyph::Properties: Sliders(p); break;
    case ToolGlyph::Statistics: Bars(p); break;
    case ToolGlyph::Dump: TextLines(p); break;
    case ToolGlyph::Export: SheetWithArrow(p); break;
  }
  return image;
}

QImage AppIconImage(int size) {
  QImage image = Transparent(size, size);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  Waveform(p, size);
  return image;
}

QIcon AppIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64, 128}) icon.addPixmap(QPixmap::fromImage(AppIconImage(size)));
  return icon;
}

QImage LiftLogoImage(int size) {
  QImage image = Transparent(size, size);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal s = size;
  // A lift car in its shaft with the up and down arrows.
  p.setPen(QPen(QColor(60, 60, 60), s / 32.0));
  p.setBrush(QColor(210, 210, 215));
  p.drawRect(QRectF(s * 0.08, s * 0.06, s * 0.56, s * 0.88));
  p.setBrush(QColor(120, 150, 200));
  p.drawRect(QRectF(s * 0.14, s * 0.14, s * 0.21, s * 0.72));
  p.drawRect(QRectF(s * 0.37, s * 0.14, s * 0.21, s * 0.72));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(30, 150, 40));
  p.drawPolygon(QPolygonF({QPointF(s * 0.82, s * 0.14), QPointF(s * 0.96, s * 0.40), QPointF(s * 0.68, s * 0.40)}));
  p.setBrush(QColor(200, 40, 40));
  p.drawPolygon(QPolygonF({QPointF(s * 0.82, s * 0.86), QPointF(s * 0.96, s * 0.60), QPointF(s * 0.68, s * 0.60)}));
  return image;
}

}  // namespace korvalog
